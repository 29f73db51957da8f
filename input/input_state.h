// The input component's global state: DirectInput, the device table and the
// typed-character ring. The input-method state (flags, lengths, modes) lives in
// input/ime_state.h; its four buffers are allocated here with the others, so one
// start-up makes and one clean-up frees all six blocks.
#ifndef KR_INPUT_STATE_H
#define KR_INPUT_STATE_H

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0500
#endif
#include <windows.h>
#include <dinput.h>

#define KRINPUT_DEVICE_MAX 32        // keyboard, mouse and up to 30 joysticks
#define KRINPUT_KEYBOARD 0           // device table entry of the keyboard
#define KRINPUT_MOUSE 1              // and of the mouse; joystick i is entry i + 2
#define KRINPUT_JOYSTICK_FIRST 2
#define KRINPUT_CHARBUFFER_MAX 1024  // ring entries; at most 1023 are queued

// Sizes of the input-method buffers.
#define KRINPUT_IMESTRING_SIZE 1024  // collected result text
#define KRINPUT_COMPSTR_SIZE 1024    // composition text
#define KRINPUT_COMPATTR_SIZE 1024   // composition attributes
#define KRINPUT_CANDLIST_SIZE 2048   // candidate list 0, IMM32 CANDIDATELIST layout

typedef struct KRINPUTSTATE {
  int bStarted;
  IDirectInputA* lpDirectInput;
  IDirectInputDevice2A** lpDevices;  // KRINPUT_DEVICE_MAX entries, "KRIN:DEVICES"
  int nDeviceCount;                  // 2 plus the joysticks entered
  int nNextDevice;                   // next table entry to fill during start-up
  HRESULT hrLast;                    // most recent DirectInput result, for the failure line

  DWORD* lpCharBuffer;  // KRINPUT_CHARBUFFER_MAX entries, "KRIN:KEYBUFF"
  DWORD dwCharWrite;
  DWORD dwCharRead;

  // The input-method buffers (written by the input-method handlers, read by
  // input-method drawing); null while input is not started.
  char* lpImeString;    // "KRIN:IMESTRI"
  char* lpCompStr;      // "KRIN:COMPSTR"
  BYTE* lpCompAttr;     // "KRIN:COMPATT"
  BYTE* lpCandList;     // "KRIN:CANDLIS"
} KRINPUTSTATE;

extern KRINPUTSTATE g_krInput;

// 1 while input is started (KRCleanup cleans up what is left started).
int KRInputIsStarted(void);

// Queues one code in the character ring unless 1023 are queued.
void KRInputQueueChar(DWORD code);

// Provided with the input-method state: at start-up, before DirectInput is
// made, clears the IME-open and redraw flags and the two lengths (the buffers
// behind them are new).
void KRImeResetForStartup(void);

#endif
