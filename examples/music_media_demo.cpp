// Music and media under Windows: the output ports DirectMusic lists, a MIDI
// file of ours played and stopped, what the CD path says without a drive, and
// an AVI of ours played once and then in a loop, with a message loop running.
#include <korvathd.h>
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "support/library_calls.h"
#include "support/main_window.h"
#include "support/media_files.h"

namespace {

// The message loop for `milliseconds`, counting the media window's notifications.
int RunLoop(DWORD milliseconds) {
  HWND media = FindWindowA("KRMEDIA_CALLBACK", NULL);
  int notifications = 0;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < milliseconds) {
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
      if (message.hwnd == media && message.message == WM_USER) ++notifications;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(10);
  }
  return notifications;
}

}  // namespace

int main() {
  HWND window = winsupport::CreateMainWindow(320, 240, "KORVATHD music and media");
  KRSTARTUPINFO info = winsupport::StartupInfo(window, KRSTARTUP_DEBUGLOG, "krdebugmusic.txt");
  if (window == NULL || KRStartup(&info) != 1) {
    printf("start-up failed\n");
    return 1;
  }

  printf("music start-up: %d\n", KRMusicStartup());
  const int ports = KRMusicGetPortCount();
  printf("%d output ports:\n", ports);
  for (int index = 0; index < ports; ++index) {
    KRMUSICPORTINFO port;
    memset(&port, 0, sizeof(port));
    KRMusicGetPortInfo(&port, index);
    printf("  %d: %s (%lu channel groups)\n", index, port.szName, static_cast<unsigned long>(port.dwMaxChannelGroups));
  }

  winsupport::WriteMidiFile("demo_song.mid");
  const int song = KRMusicCreateBuffer("demo_song.mid");
  printf("demo_song.mid loaded as buffer %d\n", song);
  KRMusicPlayBuffer(song, 1);
  RunLoop(1000);
  KRMusicStopBuffer();
  printf("played for a second and stopped\n");
  KRMusicReleaseBuffer(song);
  printf("missing.mid gives buffer %d\n", KRMusicCreateBuffer("missing.mid"));

  const int tracks = KRMusicGetCDAudioTrackCount();
  printf("CD track count: %d (last error 0x%04lX: %s)\n", tracks, KRErrorGetLastError(),
         winsupport::LastErrorText().c_str());
  const int played = KRMusicPlayCDAudio(1, 1);
  printf("CD play of track 1: %d (last error 0x%04lX: %s)\n", played, KRErrorGetLastError(),
         winsupport::LastErrorText().c_str());
  printf("music started again after the failed open: %d\n", KRMusicStartup());
  KRMusicCleanup();

  winsupport::WriteAviFile("demo_video.avi", 5);
  printf("media start-up: %d\n", KRMediaStartup());
  const int video = KRMediaCreateBuffer("demo_video.avi");
  printf("demo_video.avi rendered as buffer %d\n", video);
  KRMediaPlay(video, 0);
  const int once = RunLoop(3000);
  printf("played once: %d end notification(s) in 3 s\n", once);
  KRMediaPlay(video, KRMEDIA_PLAY_LOOP);
  const int looped = RunLoop(3000);
  printf("looped: %d end notification(s) in 3 s\n", looped);
  printf("stop: %d\n", KRMediaStop());
  KRMediaReleaseBuffer(video);
  KRMediaCleanup();

  KRCleanup();
  winsupport::DestroyMainWindow(window);
  remove("demo_song.mid");
  remove("demo_video.avi");
  return 0;
}
