// The resources KORVATHD.DLL carries, as the build generates them
// (resources/make_resources.py writes the table): the simulated library
// module has them after every reset.
#ifndef KR_SIM_LIBRARY_RESOURCES_H
#define KR_SIM_LIBRARY_RESOURCES_H

#include <cstddef>

namespace sim::detail {

struct LibraryResource {
  const char* type;  // "WAVE", "KRMODEL", or "#2" for a bitmap
  unsigned id;
  const unsigned char* bytes;  // what the resource compiler embeds
  size_t size;
};
extern const LibraryResource kLibraryResources[];
extern const size_t kLibraryResourceCount;

}  // namespace sim::detail

#endif
