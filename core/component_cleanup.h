// KRCleanup's view of the components: which are still started, and how to clean them up.
#ifndef KR_COMPONENT_CLEANUP_H
#define KR_COMPONENT_CLEANUP_H

// Cleans up, in the fixed order, every component the application left started,
// each after its warning line.
void KRCleanupStartedComponents(void);

#endif
