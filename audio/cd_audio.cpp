// CD audio through the MCI "cdaudio" device in track-minute-second-frame
// format: one track or a play list, played a number of times or without end.
// The notification window moves along the list at the end of each track and
// pauses the CD while the application is inactive.
#include <cstring>

#include "audio/music_state.h"
#include "core/last_error.h"

namespace {

const unsigned long kErrorOpen = KRERR_MUSIC | KRERR_STARTUPFAILED;
const unsigned long kErrorClose = KRERR_MUSIC | KRERR_FAILED;
const unsigned long kErrorPlay = KRERR_MUSIC | 0x101;
const unsigned long kErrorStop = KRERR_MUSIC | 0x102;
const unsigned long kErrorPause = KRERR_MUSIC | 0x103;
const unsigned long kErrorTrackCount = KRERR_MUSIC | 0x104;
const unsigned long kErrorSetVolume = KRERR_MUSIC | 0x105;
const unsigned long kErrorGetVolume = KRERR_MUSIC | 0x106;

void LogMciError(MCIERROR error) {
  char text[256];
  text[0] = '\0';
  mciGetErrorStringA(error, text, sizeof(text));
  KRDebugDump("%s\n", text);
}

template <typename Parameters>
MCIERROR SendCommand(UINT command, DWORD flags, Parameters* parameters) {
  return mciSendCommandA(g_krMusic.wCDDevice, command, flags, reinterpret_cast<DWORD_PTR>(parameters));
}

// The open device set to the track format, or 0 with the music component cleaned up.
int KRMusicOpenCDAudio(void) {
  MCI_OPEN_PARMSA open;
  memset(&open, 0, sizeof(open));
  open.lpstrDeviceType = "cdaudio";
  MCIERROR error = mciSendCommandA(0, MCI_OPEN, MCI_WAIT | MCI_OPEN_TYPE, reinterpret_cast<DWORD_PTR>(&open));
  if (error == 0) {
    g_krMusic.wCDDevice = open.wDeviceID;
    MCI_SET_PARMS set;
    memset(&set, 0, sizeof(set));
    set.dwTimeFormat = MCI_FORMAT_TMSF;
    error = SendCommand(MCI_SET, MCI_WAIT | MCI_SET_TIME_FORMAT, &set);
  }
  if (error == 0) {
    g_krMusic.nCDState = KRMUSIC_CD_STOPPED;
    return 1;
  }
  LogMciError(error);
  KRErrorSetLastError(kErrorOpen);
  KRMusicCleanup();
  return 0;
}

// The length of the track at the play position, as minute, second and frame
// from the lowest byte; false when MCI cannot tell.
bool CurrentTrackLength(DWORD* length) {
  MCI_STATUS_PARMS status;
  memset(&status, 0, sizeof(status));
  status.dwItem = MCI_STATUS_LENGTH;
  status.dwTrack = static_cast<DWORD>(g_krMusic.lpCDTracks[g_krMusic.nCDPosition]);
  if (SendCommand(MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM | MCI_TRACK, &status) != 0) return false;
  *length = static_cast<DWORD>(status.dwReturn);
  return true;
}

// Plays to the end of the track at the play position: from its start, or
// (without `fromStart`) from wherever the CD stands. The window hears of the end.
int PlayToTrackEnd(bool fromStart) {
  DWORD length = 0;
  if (!CurrentTrackLength(&length)) return KRErrorFail(kErrorPlay);
  const DWORD track = static_cast<DWORD>(g_krMusic.lpCDTracks[g_krMusic.nCDPosition]) & 0xFF;
  MCI_PLAY_PARMS play;
  memset(&play, 0, sizeof(play));
  play.dwCallback = reinterpret_cast<DWORD_PTR>(g_krMusic.hWnd);
  if (fromStart) play.dwFrom = MCI_MAKE_TMSF(track, 0, 0, 0);
  play.dwTo = track + (length << 8);
  const DWORD flags = MCI_NOTIFY | MCI_TO | (fromStart ? MCI_FROM : 0);
  if (SendCommand(MCI_PLAY, flags, &play) != 0) return KRErrorFail(kErrorPlay);
  return 1;
}

int KRMusicPlayCDTrack(void) {
  if (g_krMusic.wCDDevice == 0 && !KRMusicOpenCDAudio()) return 0;
  return PlayToTrackEnd(true);
}

// 0 when the last pass of the list is over (the CD then stops).
int KRMusicNextCDTrack(void) {
  ++g_krMusic.nCDPosition;
  if (g_krMusic.lpCDTracks[g_krMusic.nCDPosition] != 0) return 1;
  g_krMusic.nCDPosition = 0;
  if (g_krMusic.nCDLoops != 0 && --g_krMusic.nCDLoops == 0) {
    KRMusicStopCDAudio();
    return 0;
  }
  return 1;
}

// The play list is in place: play its first track. 0 (and the CD state as it
// was) when the track did not start.
int StartPlayList(int loops) {
  g_krMusic.nCDPosition = 0;
  g_krMusic.nCDLoops = loops;
  if (!KRMusicPlayCDTrack()) return 0;
  g_krMusic.nCDState = KRMUSIC_CD_PLAYING;
  return 1;
}

bool Started(void) { return g_krMusic.bStarted && g_krMusic.lpCDTracks != NULL; }

}  // namespace

int KRMusicPlayCDAudio(int track, int loops) {
  if (!Started()) return KRErrorFail(KRERR_MUSIC | KRERR_NOTSTARTED);
  g_krMusic.lpCDTracks[0] = track;
  g_krMusic.lpCDTracks[1] = 0;
  return StartPlayList(loops);
}

// A list longer than the table is cut to its first 63 tracks.
int KRMusicPlayIndexedCDAudio(int* tracks, int loops) {
  if (!Started()) return KRErrorFail(KRERR_MUSIC | KRERR_NOTSTARTED);
  if (tracks == NULL) return KRErrorFail(kErrorPlay);
  int count = 0;
  while (count < KRMUSIC_CDTRACK_MAX - 1 && tracks[count] != 0) {
    g_krMusic.lpCDTracks[count] = tracks[count];
    ++count;
  }
  g_krMusic.lpCDTracks[count] = 0;
  return StartPlayList(loops);
}

int KRMusicPlayCDAudio(void) {
  if (!Started()) return KRErrorFail(KRERR_MUSIC | KRERR_NOTSTARTED);
  if (g_krMusic.nCDState != KRMUSIC_CD_PAUSED) return 0;
  if (!PlayToTrackEnd(false)) return 0;
  g_krMusic.nCDState = KRMUSIC_CD_PLAYING;
  return 1;
}

int KRMusicPauseCDAudio(void) {
  if (g_krMusic.nCDState != KRMUSIC_CD_PLAYING) return 0;
  MCI_GENERIC_PARMS generic;
  memset(&generic, 0, sizeof(generic));
  if (SendCommand(MCI_PAUSE, MCI_WAIT, &generic) != 0) return KRErrorFail(kErrorPause);
  g_krMusic.nCDState = KRMUSIC_CD_PAUSED;
  return 1;
}

int KRMusicStopCDAudio(void) {
  if (g_krMusic.nCDState == KRMUSIC_CD_STOPPED) return 0;
  MCI_GENERIC_PARMS generic;
  memset(&generic, 0, sizeof(generic));
  if (SendCommand(MCI_STOP, MCI_WAIT, &generic) != 0) return KRErrorFail(kErrorStop);
  g_krMusic.nCDState = KRMUSIC_CD_STOPPED;
  return 1;
}

// Asks the current device id: before a play opened the device, MCI refuses.
int KRMusicGetCDAudioTrackCount(void) {
  MCI_STATUS_PARMS status;
  memset(&status, 0, sizeof(status));
  status.dwItem = MCI_STATUS_NUMBER_OF_TRACKS;
  const MCIERROR error = SendCommand(MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, &status);
  if (error != 0) {
    LogMciError(error);
    return KRErrorFail(kErrorTrackCount);
  }
  return static_cast<int>(status.dwReturn);
}

// No call selects an auxiliary device, so both volume calls fail in practice.
int KRMusicGetCDAudioVolume(int* volume) {
  if (g_krMusic.nCDAuxDevice == -1) return KRErrorFail(kErrorGetVolume);
  DWORD packed = 0;
  auxGetVolume(static_cast<UINT>(g_krMusic.nCDAuxDevice), &packed);
  if (volume != NULL) *volume = static_cast<int>(packed);
  return 1;
}

int KRMusicSetCDAudioVolume(int volume) {
  if (g_krMusic.nCDAuxDevice == -1) return KRErrorFail(kErrorSetVolume);
  auxSetVolume(static_cast<UINT>(g_krMusic.nCDAuxDevice), static_cast<DWORD>(volume));
  return 1;
}

int KRMusicCloseCDAudio(void) {
  KRMusicStopCDAudio();
  MCI_GENERIC_PARMS generic;
  memset(&generic, 0, sizeof(generic));
  const MCIERROR error = SendCommand(MCI_CLOSE, MCI_WAIT, &generic);
  if (error != 0) {
    LogMciError(error);
    return KRErrorFail(kErrorClose);
  }
  g_krMusic.wCDDevice = 0;
  return 1;
}

LRESULT CALLBACK KRMusicCallbackWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATEAPP:
      // Resuming only picks up a paused CD, also one the application paused itself.
      if ((wParam & 0xFFFF) == 0) {
        KRMusicPauseCDAudio();
      } else {
        KRMusicPlayCDAudio();
      }
      return 0;
    case MM_MCINOTIFY:
      if (g_krMusic.nCDState == KRMUSIC_CD_PLAYING && wParam == MCI_NOTIFY_SUCCESSFUL && Started()) {
        if (KRMusicNextCDTrack()) KRMusicPlayCDTrack();
        return 1;
      }
      break;
    default: break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
