// KORVATHD's input component on a window in front: the devices it finds, keys
// pressed with keybd_event and read back from the character ring, then the
// input method opened and its mode indicator drawn on a 640x480 window-mode
// back buffer, saved as a PNG.
#include <windows.h>
#include <ddraw.h>
#include <imm.h>

#include <korvathd.h>

#include <cstdio>

#include "support/foreground.h"
#include "support/library_calls.h"
#include "support/main_window.h"
#include "support/png_writer.h"

namespace {

using namespace winsupport;

const int kWidth = 640;
const int kHeight = 480;

WNDPROC g_previousProc = NULL;

// The game's window procedure: keys, characters and input-method messages go to the library.
LRESULT CALLBACK ForwardingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  unsigned int w = static_cast<unsigned int>(wParam);
  long l = static_cast<long>(lParam);
  switch (message) {
    case WM_KEYDOWN: KRInputOnKeyDown(w, l); return 0;
    case WM_CHAR: KRInputOnChar(w, l); return 0;
    case WM_IME_NOTIFY:
      if (KRInputOnImeNotify(w, l)) return 0;
      break;
    case WM_IME_STARTCOMPOSITION: return KRInputOnImeStartComposition(w, l);
    case WM_IME_COMPOSITION: return KRInputOnImeComposition(w, l);
    case WM_IME_ENDCOMPOSITION: return KRInputOnImeEndComposition(w, l);
    default: break;
  }
  return CallWindowProcA(g_previousProc, window, message, wParam, lParam);
}

void PressKey(BYTE key, BYTE scan) {
  keybd_event(key, scan, 0, 0);
  keybd_event(key, scan, KEYEVENTF_KEYUP, 0);
  PumpMessages();
}

void PrintDevices() {
  char name[KRINPUT_NAME_MAX];
  printf("keyboards: %d, mice: %d, joysticks: %d\n", KRInputGetKeyboardCount(), KRInputGetMouseCount(),
         KRInputGetJoystickCount());
  for (int i = 0; i < KRInputGetKeyboardCount(); ++i) {
    int keys = 0;
    KRInputGetKeyboardInfo(name, &keys, i);
    printf("keyboard %d: %s, %d keys\n", i, name, keys);
  }
  for (int i = 0; i < KRInputGetMouseCount(); ++i) {
    long buttons = 0;
    KRInputGetMouseInfo(name, &buttons, i);
    printf("mouse %d: %s, %ld buttons\n", i, name, buttons);
  }
}

// Everything waiting in the character ring: letters as themselves, the rest in hex.
void PrintRing() {
  printf("characters:");
  for (unsigned int ch = KRInputGetChar(); ch != 0; ch = KRInputGetChar()) {
    if (ch >= 0x20 && ch < 0x7F) {
      printf(" '%c'", static_cast<char>(ch));
    } else {
      printf(" 0x%02X", ch);
    }
  }
  printf("\n");
}

void OpenInputMethod(HWND window) {
  HIMC context = ImmGetContext(window);
  if (context == NULL) {
    printf("the window has no input context\n");
    return;
  }
  ImmSetOpenStatus(context, TRUE);
  ImmSetConversionStatus(context, IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE, 0);
  ImmReleaseContext(window, context);
  PumpMessages();
}

}  // namespace

int main(int argc, char** argv) {
  const char* pngPath = argc > 1 ? argv[1] : "input_demo.png";
  ForegroundTurn turn;
  HWND window = CreateMainWindow(kWidth, kHeight, "KORVATHD input demo");
  g_previousProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ForwardingProc)));

  KRSTARTUPINFO info = StartupInfo(window);
  KRStartup(&info);
  // DirectInput acquires the devices only for the window in front.
  if (!InFront(window, [] { return KRInputStartup() == 1; })) {
    printf("could not start input (last error 0x%04lx)\n", KRErrorGetLastError());
    KRCleanup();
    DestroyMainWindow(window);
    return 1;
  }
  PrintDevices();

  printf("pressing A, B, 1, F5 and the left arrow\n");
  PressKey('A', 0x1E);
  PressKey('B', 0x30);
  PressKey('1', 0x02);
  PressKey(VK_F5, 0x3F);
  PressKey(VK_LEFT, 0x4B);
  PrintRing();

  OpenInputMethod(window);
  printf("input method open, indicator to draw: %s\n", KR2DDrawImeReq() ? "yes" : "no");

  bool saved = false;
  if (KRVideoStartup(0) && KR2DStartup() && KRVideoSetVideoMode(kWidth, kHeight, 0)) {
    KRVideoClear(RGB(24, 32, 72), KR2D_BUFFER_BACK);
    printf("KR2DDrawIme: %d\n", KR2DDrawIme(KR2D_BUFFER_BACK));
    KRVideoShow();
    saved = SaveBackBufferPng(pngPath);
    printf(saved ? "saved the back buffer as %s\n" : "could not save %s\n", pngPath);
  } else {
    printf("could not set the video mode (last error 0x%04lx)\n", KRErrorGetLastError());
  }

  KRInputCleanup();
  KR2DCleanup();
  KRVideoCleanup();
  KRCleanup();
  DestroyMainWindow(window);
  return saved ? 0 : 1;
}
