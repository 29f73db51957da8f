// DirectShow's filter graph: one object with the builder, control, position,
// video-window and event interfaces, sharing one reference count. A RIFF AVI
// or WAVE file of the sandbox renders; the first run queues EC_CLOCK_CHANGED;
// the stream ends when a test says so, which queues EC_COMPLETE; each event
// posts the notification message when a window was named before it.
#include <dshow.h>

#include <deque>
#include <fstream>

#include "sim/com_object.h"
#include "sim/gdi_internal.h"

namespace sim {
namespace {

class FilterGraph;
std::vector<FilterGraph*> g_graphs;  // live, oldest first
uint32_t g_generation = 1;
int g_live = 0;
bool g_classRegistered = false;

uint32_t Generation() { return g_generation; }

struct GraphEvent {
  LONG code;
  LONG_PTR first;
  LONG_PTR second;
};

// A RIFF file of form "AVI " or "WAVE" renders; other bytes cannot.
HRESULT RenderResult(const std::string& windowsPath) {
  const detail::MappedPath mapped = detail::MapWindowsPath(windowsPath.c_str());
  std::ifstream file(mapped.host, std::ios::binary);
  if (mapped.error != ERROR_SUCCESS || !file.good()) {
    return static_cast<HRESULT>(MAKE_HRESULT(SEVERITY_ERROR, FACILITY_WIN32, ERROR_FILE_NOT_FOUND));
  }
  char header[12] = {};
  if (!file.read(header, sizeof(header)) || std::memcmp(header, "RIFF", 4) != 0) return VFW_E_CANNOT_RENDER;
  return std::memcmp(header + 8, "AVI ", 4) == 0 || std::memcmp(header + 8, "WAVE", 4) == 0 ? S_OK
                                                                                             : VFW_E_CANNOT_RENDER;
}

class FilterGraph final : public IGraphBuilder,
                    public IMediaControl,
                    public IMediaPosition,
                    public IVideoWindow,
                    public IMediaEventEx {
 public:
  FilterGraph() : all_(detail::LiveComObjectCount(), detail::ComObjectGeneration), live_(g_live, Generation) {
    g_graphs.push_back(this);
  }
  ~FilterGraph() {
    for (auto at = g_graphs.begin(); at != g_graphs.end(); ++at) {
      if (*at == this) {
        g_graphs.erase(at);
        break;
      }
    }
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    auto lock = detail::LockSimulation();
    if (object != nullptr) *object = nullptr;
    if (auto failure = detail::EnterCall("IFilterGraph::QueryInterface",
                                         detail::JoinArgs({detail::ArgGuid(iid), detail::ArgPointer(object)}))) {
      return detail::AsHresult(*failure);
    }
    if (object == nullptr) return E_POINTER;
    return Answer(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    auto lock = detail::LockSimulation();
    detail::RecordCall("IFilterGraph::AddRef", "");
    return ++references_;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    auto lock = detail::LockSimulation();
    detail::RecordCall("IFilterGraph::Release", "");
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT Answer(REFIID iid, void** object) {
    if (iid == IID_IUnknown || iid == IID_IGraphBuilder) {
      *object = static_cast<IGraphBuilder*>(this);
    } else if (iid == IID_IMediaControl) {
      *object = static_cast<IMediaControl*>(this);
    } else if (iid == IID_IMediaPosition) {
      *object = static_cast<IMediaPosition*>(this);
    } else if (iid == IID_IVideoWindow) {
      *object = static_cast<IVideoWindow*>(this);
    } else if (iid == IID_IMediaEventEx) {
      *object = static_cast<IMediaEventEx*>(this);
    } else {
      return E_NOINTERFACE;
    }
    ++references_;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE RenderFile(LPCWSTR file, LPCWSTR playList) override {
    auto lock = detail::LockSimulation();
    const std::string name = detail::WideToAnsi(file);
    if (auto failure = detail::EnterCall("IGraphBuilder::RenderFile",
                                         detail::JoinArgs({detail::ArgString(file ? name.c_str() : nullptr),
                                                           detail::ArgPointer(playList)}))) {
      return detail::AsHresult(*failure);
    }
    if (file == nullptr) return E_POINTER;
    const HRESULT result = RenderResult(name);
    if (SUCCEEDED(result)) info_.files.push_back(name);
    return result;
  }

  // As Wine does, a graph's first run queues EC_CLOCK_CHANGED, before the
  // caller can have named a window for it.
  HRESULT STDMETHODCALLTYPE Run() override {
    const HRESULT result = Change("IMediaControl::Run", GraphInfo::Running);
    if (result == S_OK && !ranBefore_) {
      ranBefore_ = true;
      Queue(EC_CLOCK_CHANGED);
    }
    return result;
  }
  HRESULT STDMETHODCALLTYPE Pause() override { return Change("IMediaControl::Pause", GraphInfo::Paused); }
  HRESULT STDMETHODCALLTYPE Stop() override { return Change("IMediaControl::Stop", GraphInfo::Stopped); }

  HRESULT STDMETHODCALLTYPE put_CurrentPosition(REFTIME time) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IMediaPosition::put_CurrentPosition", std::to_string(time))) {
      return detail::AsHresult(*failure);
    }
    info_.position = time;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_CurrentPosition(REFTIME* time) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IMediaPosition::get_CurrentPosition", detail::ArgPointer(time))) {
      return detail::AsHresult(*failure);
    }
    if (time == nullptr) return E_POINTER;
    *time = info_.position;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE put_Visible(LONG visible) override {
    return Set("IVideoWindow::put_Visible", visible, &info_.visible);
  }
  HRESULT STDMETHODCALLTYPE put_FullScreenMode(LONG fullScreen) override {
    return Set("IVideoWindow::put_FullScreenMode", fullScreen, &info_.fullScreen);
  }
  HRESULT STDMETHODCALLTYPE put_Owner(OAHWND owner) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IVideoWindow::put_Owner",
                                         detail::ArgHandle(reinterpret_cast<void*>(owner)))) {
      return detail::AsHresult(*failure);
    }
    info_.owner = reinterpret_cast<HWND>(owner);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetEvent(LONG* code, LONG_PTR* first, LONG_PTR* second, LONG timeout) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IMediaEventEx::GetEvent",
                                         detail::JoinArgs({detail::ArgPointer(code), detail::ArgPointer(first),
                                                           detail::ArgPointer(second), detail::ArgDec(timeout)}))) {
      return detail::AsHresult(*failure);
    }
    if (code == nullptr || first == nullptr || second == nullptr) return E_POINTER;
    if (events_.empty()) return E_ABORT;
    *code = events_.front().code;
    *first = events_.front().first;
    *second = events_.front().second;
    events_.pop_front();
    ++unfreedEvents_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE FreeEventParams(LONG code, LONG_PTR first, LONG_PTR second) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IMediaEventEx::FreeEventParams",
                                         detail::JoinArgs({detail::ArgDec(code), detail::ArgDec(first),
                                                           detail::ArgDec(second)}))) {
      return detail::AsHresult(*failure);
    }
    if (unfreedEvents_ > 0) --unfreedEvents_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instance) override {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall("IMediaEventEx::SetNotifyWindow",
                                         detail::JoinArgs({detail::ArgHandle(reinterpret_cast<void*>(window)),
                                                           detail::ArgHex(static_cast<uint32_t>(message)),
                                                           detail::ArgDec(instance)}))) {
      return detail::AsHresult(*failure);
    }
    info_.notifyWindow = reinterpret_cast<HWND>(window);
    info_.notifyMessage = message;
    instance_ = instance;
    return S_OK;
  }

  GraphInfo Info() const {
    GraphInfo info = info_;
    info.queuedEvents = static_cast<int>(events_.size());
    return info;
  }
  bool EndStream() {
    if (info_.state != GraphInfo::Running || info_.files.empty()) return false;
    Queue(EC_COMPLETE);
    return true;
  }
  int UnfreedEvents() const { return unfreedEvents_; }
  void DropCreationReference() {
    if (--references_ == 0) delete this;
  }

 private:
  // The message goes only to a window named before the event.
  void Queue(LONG code) {
    events_.push_back(GraphEvent{code, 0, 0});
    if (info_.notifyWindow != nullptr) {
      detail::PostQuietly(info_.notifyWindow, static_cast<UINT>(info_.notifyMessage), 0, instance_);
    }
  }
  HRESULT Change(const char* method, GraphInfo::State state) {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall(method, "")) return detail::AsHresult(*failure);
    info_.state = state;
    return S_OK;
  }
  HRESULT Set(const char* method, LONG value, LONG* field) {
    auto lock = detail::LockSimulation();
    if (auto failure = detail::EnterCall(method, detail::ArgDec(value))) return detail::AsHresult(*failure);
    *field = value;
    return S_OK;
  }

  ULONG references_ = 1;
  GraphInfo info_;
  std::deque<GraphEvent> events_;
  LONG_PTR instance_ = 0;
  int unfreedEvents_ = 0;
  bool ranBefore_ = false;
  detail::LiveTally all_;
  detail::LiveTally live_;
};

HRESULT CreateFilterGraph(REFIID iid, void** object) {
  auto* graph = new FilterGraph();
  const HRESULT result = graph->Answer(iid, object);
  graph->DropCreationReference();  // the answer holds the one left, or none is
  return result;
}

void ResetGraphs() {
  ++g_generation;
  g_live = 0;
  g_graphs.clear();
  if (!g_classRegistered) {
    g_classRegistered = true;
    detail::RegisterBuiltinComClass(CLSID_FilterGraph, CreateFilterGraph);
  }
}

const bool kResetRegistered = detail::AddResetHook(ResetGraphs);

}  // namespace

std::vector<GraphInfo> InspectGraphs() {
  auto lock = detail::LockSimulation();
  std::vector<GraphInfo> infos;
  for (const FilterGraph* graph : g_graphs) infos.push_back(graph->Info());
  return infos;
}

int EndMediaStreams() {
  auto lock = detail::LockSimulation();
  int ended = 0;
  for (FilterGraph* graph : g_graphs) ended += graph->EndStream() ? 1 : 0;
  return ended;
}

int LiveFilterGraphs() {
  auto lock = detail::LockSimulation();
  return g_live;
}

namespace {
const bool kCounted = detail::AddLiveCounter("filter graphs", LiveFilterGraphs);
}  // namespace

}  // namespace sim
