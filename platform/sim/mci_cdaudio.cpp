// MCI with one "cdaudio" device in the track-minute-second-frame format: a
// scripted drive (none at boot) and disc, plays that end when a test says
// so, and the notifications Windows posts for them: successful at the end,
// superseded by a new play, aborted by pause, stop or close.
#include <mmsystem.h>
#include <strings.h>

#include <cstring>

#include "sim/gdi_internal.h"

namespace sim {
namespace {

constexpr MCIDEVICEID kCdDevice = 1;

bool g_drive = false;
std::vector<DWORD> g_tracks;  // lengths: minutes, seconds, frames from the lowest byte
CdInfo g_cd;

void ResetCd() {
  g_drive = false;
  g_tracks.clear();
  g_cd = CdInfo{};
}

const bool kResetRegistered = detail::AddResetHook(ResetCd);

// The play in progress ends early: its notification (if any) says how.
void EndPendingNotification(WPARAM how) {
  if (g_cd.notifyWindow == nullptr) return;
  detail::PostQuietly(g_cd.notifyWindow, MM_MCINOTIFY, how, static_cast<LPARAM>(kCdDevice));
  g_cd.notifyWindow = nullptr;
}

bool IsTrackPosition(DWORD tmsf) {
  const DWORD track = MCI_TMSF_TRACK(tmsf);
  return track >= 1 && track <= g_tracks.size();
}

MCIERROR Open(DWORD flags, MCI_OPEN_PARMSA* params) {
  if (params == nullptr || (flags & MCI_OPEN_TYPE) == 0 || params->lpstrDeviceType == nullptr) {
    return MCIERR_UNRECOGNIZED_COMMAND;
  }
  if (strcasecmp(params->lpstrDeviceType, "cdaudio") != 0 || !g_drive) return MCIERR_CANNOT_LOAD_DRIVER;
  if (g_cd.open) return MCIERR_DEVICE_OPEN;
  g_cd = CdInfo{};
  g_cd.open = true;
  g_cd.device = kCdDevice;
  params->wDeviceID = kCdDevice;
  return 0;
}

MCIERROR Status(DWORD flags, MCI_STATUS_PARMS* params) {
  if (params == nullptr || (flags & MCI_STATUS_ITEM) == 0) return MCIERR_UNRECOGNIZED_COMMAND;
  if (params->dwItem == static_cast<DWORD>(MCI_STATUS_NUMBER_OF_TRACKS)) {
    params->dwReturn = g_tracks.size();
    return 0;
  }
  if (params->dwItem == static_cast<DWORD>(MCI_STATUS_LENGTH) && (flags & MCI_TRACK)) {
    if (params->dwTrack < 1 || params->dwTrack > g_tracks.size()) return MCIERR_OUTOFRANGE;
    params->dwReturn = g_tracks[params->dwTrack - 1];
    return 0;
  }
  return MCIERR_UNRECOGNIZED_COMMAND;
}

MCIERROR Play(DWORD flags, MCI_PLAY_PARMS* params) {
  if (params == nullptr && (flags & (MCI_FROM | MCI_TO | MCI_NOTIFY))) return MCIERR_UNRECOGNIZED_COMMAND;
  if ((flags & MCI_FROM) && !IsTrackPosition(params->dwFrom)) return MCIERR_OUTOFRANGE;
  if ((flags & MCI_TO) && !IsTrackPosition(params->dwTo)) return MCIERR_OUTOFRANGE;
  EndPendingNotification(MCI_NOTIFY_SUPERSEDED);
  g_cd.mode = CdInfo::Playing;
  g_cd.fromGiven = (flags & MCI_FROM) != 0;
  g_cd.from = g_cd.fromGiven ? params->dwFrom : 0;
  g_cd.to = (flags & MCI_TO) ? params->dwTo : 0;
  if (flags & MCI_NOTIFY) g_cd.notifyWindow = reinterpret_cast<HWND>(params->dwCallback);
  return 0;
}

MCIERROR Command(MCIDEVICEID device, UINT message, DWORD flags, DWORD_PTR params) {
  if (message == MCI_OPEN) return Open(flags, reinterpret_cast<MCI_OPEN_PARMSA*>(params));
  if (!g_cd.open || device != g_cd.device) return MCIERR_INVALID_DEVICE_ID;
  switch (message) {
    case MCI_SET: {
      auto* set = reinterpret_cast<MCI_SET_PARMS*>(params);
      if (set == nullptr || (flags & MCI_SET_TIME_FORMAT) == 0) return MCIERR_UNRECOGNIZED_COMMAND;
      return set->dwTimeFormat == MCI_FORMAT_TMSF ? 0 : MCIERR_OUTOFRANGE;
    }
    case MCI_STATUS: return Status(flags, reinterpret_cast<MCI_STATUS_PARMS*>(params));
    case MCI_PLAY: return Play(flags, reinterpret_cast<MCI_PLAY_PARMS*>(params));
    case MCI_PAUSE:
      EndPendingNotification(MCI_NOTIFY_ABORTED);
      if (g_cd.mode == CdInfo::Playing) g_cd.mode = CdInfo::Paused;
      return 0;
    case MCI_STOP:
      EndPendingNotification(MCI_NOTIFY_ABORTED);
      g_cd.mode = CdInfo::Stopped;
      return 0;
    case MCI_CLOSE:
      EndPendingNotification(MCI_NOTIFY_ABORTED);
      g_cd = CdInfo{};
      return 0;
    default: return MCIERR_UNRECOGNIZED_COMMAND;
  }
}

struct ErrorText {
  MCIERROR code;
  const char* text;
};
constexpr ErrorText kErrorTexts[] = {
    {MCIERR_INVALID_DEVICE_ID, "Invalid MCI device ID. Use the ID returned when opening the MCI device."},
    {MCIERR_UNRECOGNIZED_COMMAND, "The driver cannot recognize the specified command."},
    {MCIERR_HARDWARE,
     "There is a problem with your media device. Make sure it is working correctly or contact the device manufacturer."},
    {MCIERR_DEVICE_OPEN, "The device name is already being used as an alias by this application. Use a unique alias."},
    {MCIERR_CANNOT_LOAD_DRIVER, "There is an undetectable problem in loading the specified device driver."},
    {MCIERR_OUTOFRANGE, "The specified parameter is out of range for the specified command."},
};

}  // namespace

void SetCdDrive(const std::vector<DWORD>& trackLengths) {
  auto lock = detail::LockSimulation();
  g_drive = true;
  g_tracks = trackLengths;
}

void RemoveCdDrive() {
  auto lock = detail::LockSimulation();
  g_drive = false;
  g_tracks.clear();
}

CdInfo InspectCd() {
  auto lock = detail::LockSimulation();
  return g_cd;
}

bool EndCdTrack() {
  auto lock = detail::LockSimulation();
  if (!g_cd.open || g_cd.mode != CdInfo::Playing) return false;
  g_cd.mode = CdInfo::Stopped;
  EndPendingNotification(MCI_NOTIFY_SUCCESSFUL);
  return true;
}

int OpenCdDevices() {
  auto lock = detail::LockSimulation();
  return g_cd.open ? 1 : 0;
}

namespace {
const bool kCounted = detail::AddLiveCounter("MCI devices", OpenCdDevices);
}  // namespace

}  // namespace sim

using namespace sim::detail;

namespace {

std::string ArgMciParams(UINT message, DWORD_PTR params) {
  if (params == 0) return "NULL";
  switch (message) {
    case MCI_OPEN: {
      const auto* open = reinterpret_cast<const MCI_OPEN_PARMSA*>(params);
      return "{" + JoinArgs({ArgHex(open->dwCallback), ArgString(open->lpstrDeviceType),
                             ArgString(open->lpstrElementName), ArgString(open->lpstrAlias)}) + "}";
    }
    case MCI_PLAY: {
      const auto* play = reinterpret_cast<const MCI_PLAY_PARMS*>(params);
      return "{" + JoinArgs({ArgHex(play->dwCallback), ArgHex(play->dwFrom), ArgHex(play->dwTo)}) + "}";
    }
    case MCI_STATUS: {
      const auto* status = reinterpret_cast<const MCI_STATUS_PARMS*>(params);
      return "{" + JoinArgs({ArgHex(status->dwCallback), ArgDec(status->dwItem), ArgDec(status->dwTrack)}) + "}";
    }
    case MCI_SET: {
      const auto* set = reinterpret_cast<const MCI_SET_PARMS*>(params);
      return "{" + JoinArgs({ArgHex(set->dwCallback), ArgDec(set->dwTimeFormat)}) + "}";
    }
    default: return "{" + ArgHex(reinterpret_cast<const MCI_GENERIC_PARMS*>(params)->dwCallback) + "}";
  }
}

}  // namespace

extern "C" MCIERROR WINAPI mciSendCommandA(MCIDEVICEID mciId, UINT uMsg, DWORD_PTR dwParam1, DWORD_PTR dwParam2) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("mciSendCommandA", JoinArgs({ArgDec(mciId), ArgHex(uMsg), ArgHex(dwParam1),
                                                            ArgMciParams(uMsg, dwParam2)}))) {
    return static_cast<MCIERROR>(*failure);
  }
  return sim::Command(mciId, uMsg, static_cast<DWORD>(dwParam1), dwParam2);
}

// FALSE for a code without a text, leaving an empty string.
extern "C" BOOL WINAPI mciGetErrorStringA(MCIERROR mcierr, LPSTR pszText, UINT cchText) {
  auto lock = LockSimulation();
  RecordCall("mciGetErrorStringA", JoinArgs({ArgCode(mcierr), ArgPointer(pszText), ArgDec(cchText)}));
  if (pszText == nullptr || cchText == 0) return FALSE;
  pszText[0] = '\0';
  for (const sim::ErrorText& entry : sim::kErrorTexts) {
    if (entry.code != mcierr) continue;
    std::strncpy(pszText, entry.text, cchText - 1);
    pszText[cchText - 1] = '\0';
    return TRUE;
  }
  return FALSE;
}

// No auxiliary device is installed.
extern "C" UINT WINAPI auxGetVolume(UINT uDeviceID, LPDWORD pdwVolume) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("auxGetVolume", JoinArgs({ArgDec(uDeviceID), ArgPointer(pdwVolume)}))) {
    return static_cast<UINT>(*failure);
  }
  return MMSYSERR_BADDEVICEID;
}

extern "C" UINT WINAPI auxSetVolume(UINT uDeviceID, DWORD dwVolume) {
  auto lock = LockSimulation();
  if (auto failure = EnterCall("auxSetVolume", JoinArgs({ArgDec(uDeviceID), ArgHex(dwVolume)}))) {
    return static_cast<UINT>(*failure);
  }
  return MMSYSERR_BADDEVICEID;
}
