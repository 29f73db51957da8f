// Test control of the simulated music, CD-audio and media services (host
// build): the output ports DirectMusic lists, the CD drive MCI finds, and the
// ends of CD tracks and media streams, which a test brings about.
#ifndef KR_SIM_MEDIA_CONTROL_H
#define KR_SIM_MEDIA_CONTROL_H

#include <windows.h>

#include <string>
#include <vector>

namespace sim {

// ---- DirectMusic ------------------------------------------------------------------------
// One port as EnumPort reports it. The boot list holds two output ports.
struct MusicPortScript {
  GUID guid{};
  std::u16string description;
  DWORD portClass = 1;  // DMUS_PC_OUTPUTCLASS
  DWORD maxChannelGroups = 1;
  HRESULT result = S_OK;  // what EnumPort answers for this index
};
void SetMusicPorts(const std::vector<MusicPortScript>& ports);
std::vector<MusicPortScript> BootMusicPorts();

struct MusicInfo {
  int ports = 0;              // ports attached to a performance
  bool playing = false;       // a segment plays and no Stop came since
  DWORD repeats = 0;          // of the segment last played
  std::string searchDirectory;
};
MusicInfo InspectMusic();
int LiveMusicObjects();  // loaders, music objects, performances, ports, segments

// ---- MCI CD audio -------------------------------------------------------------------------
// No drive at boot: opening "cdaudio" fails with 266, as under Wine. A disc
// holds tracks of the given lengths, each MCI_MAKE_TMSF(0, minutes, seconds,
// frames) >> 8, i.e. minutes, seconds, frames from the lowest byte up.
void SetCdDrive(const std::vector<DWORD>& trackLengths);
void RemoveCdDrive();

struct CdInfo {
  bool open = false;
  UINT device = 0;
  enum Mode { Stopped, Playing, Paused } mode = Stopped;
  DWORD from = 0;  // of the last play: TMSF, 0 when the play gave none
  DWORD to = 0;
  bool fromGiven = false;
  HWND notifyWindow = nullptr;  // where the pending notification goes, null when none
};
CdInfo InspectCd();
// The playing track reaches the end of the play: a pending notification is
// posted as MCI_NOTIFY_SUCCESSFUL. False when nothing plays.
bool EndCdTrack();
int OpenCdDevices();

// ---- DirectShow ----------------------------------------------------------------------------
struct GraphInfo {
  std::vector<std::string> files;  // rendered, in order
  enum State { Stopped, Paused, Running } state = Stopped;
  double position = 0.0;
  HWND owner = nullptr;
  LONG visible = 0;
  LONG fullScreen = 0;
  HWND notifyWindow = nullptr;
  LONG notifyMessage = 0;
  int queuedEvents = 0;
};
std::vector<GraphInfo> InspectGraphs();  // live graphs, oldest first
// Every running graph reaches the end of its stream: EC_COMPLETE is queued
// and, when a window is set, its message posted. Returns the graphs ended.
int EndMediaStreams();
int LiveFilterGraphs();

}  // namespace sim

#endif
