// Presentation helpers shared inside the video component.
#ifndef KR_PRESENTATION_H
#define KR_PRESENTATION_H

#include <windows.h>

// Fills a rectangle of the back buffer (all of it for null) with a colour reference.
void KRVideoClearRect(RECT* rect, unsigned long colour);

#endif
