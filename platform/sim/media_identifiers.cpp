// The identifiers dmusicc.h, dmusici.h and dshow.h declare, defined by this file alone.
#define INITGUID
#include <dmusici.h>
#include <dshow.h>
