// The list component as the rest of the library sees it.
#ifndef KR_LISTS_H
#define KR_LISTS_H

// 1 while the list component is started (KRCleanup cleans up what is left started).
int KRListIsStarted(void);

#endif
