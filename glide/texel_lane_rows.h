// The lane computation shared by the instruction sets: each set's file defines
// its vector operations and includes this in its own translation unit (built for
// that set), so no code for one set is ever shared with another.
#ifndef ONDREL_TEXEL_LANE_ROWS_H
#define ONDREL_TEXEL_LANE_ROWS_H

#include "glide/texel_lanes.h"

namespace {

template <typename Ops>
struct LaneChannel {
  typename Ops::Vector sourceMask[2], multiplier, shifter, deviceMask[2];
};

// Converts the groups of Ops::kLanes texels at the start of each row, the device
// texel's two 16-bit halves side by side (the high one only for 4-byte texels).
template <typename Ops, int kSourceBytes, int kDeviceBytes, bool kSubstitutes>
int ConvertLaneRows(const TexelConverter& c, const uint8_t* in, size_t inPitch, int count, int rows, uint8_t* out,
                    size_t outPitch) {
  using V = typename Ops::Vector;
  LaneChannel<Ops> channels[4];
  int active = 0;
  for (const TexelLaneChannel& lane : c.lanes) {
    if ((lane.sourceMask[0] | lane.sourceMask[1]) == 0) continue;  // the channel gives nothing
    LaneChannel<Ops>& channel = channels[active++];
    for (int i = 0; i < 2; ++i) {
      channel.sourceMask[i] = Ops::Splat(lane.sourceMask[i]);
      channel.deviceMask[i] = Ops::Splat(lane.deviceMask[i]);
    }
    channel.multiplier = Ops::Splat(lane.multiplier);
    channel.shifter = Ops::Splat(lane.shifter);
  }
  const V zero = Ops::Splat(0);
  const V opaque[2] = {Ops::Splat(static_cast<uint16_t>(c.opaque)), Ops::Splat(static_cast<uint16_t>(c.opaque >> 16))};
  const V substitute[2] = {Ops::Splat(static_cast<uint16_t>(c.substitute)),
                           Ops::Splat(static_cast<uint16_t>(c.substitute >> 16))};
  const V colourMask = Ops::Splat(static_cast<uint16_t>(c.colourMask));
  const int whole = count - count % Ops::kLanes;
  for (int y = 0; y < rows; ++y, in += inPitch, out += outPitch) {
    for (int x = 0; x < whole; x += Ops::kLanes) {
      const V texels = kSourceBytes == 1 ? Ops::LoadBytes(in + x) : Ops::LoadWords(in + 2 * x);
      const V movedUp = Ops::ByteUp(texels);
      // The opaque alpha goes in first unless a black colour is still to be found.
      V colour[2] = {kSubstitutes ? zero : opaque[0], kSubstitutes ? zero : opaque[1]};
      auto add = [&](const LaneChannel<Ops>& channel) {
        const V bits = Ops::Or(Ops::And(texels, channel.sourceMask[0]), Ops::And(movedUp, channel.sourceMask[1]));
        const V value = Ops::MulLow(Ops::MulHigh(bits, channel.multiplier), channel.shifter);
        colour[0] = Ops::Or(colour[0], Ops::And(value, channel.deviceMask[0]));
        if (kDeviceBytes == 4) colour[1] = Ops::Or(colour[1], Ops::And(value, channel.deviceMask[1]));
      };
      switch (active) {
        case 4: add(channels[3]); [[fallthrough]];
        case 3: add(channels[2]); [[fallthrough]];
        case 2: add(channels[1]); [[fallthrough]];
        case 1: add(channels[0]);
      }
      if (kSubstitutes) {
        // All ones where the texel is coloured and its colour came out 0.
        const V black = Ops::Equal(kDeviceBytes == 4 ? Ops::Or(colour[0], colour[1]) : colour[0], zero);
        const V uncoloured = Ops::Equal(Ops::And(texels, colourMask), zero);
        const V substituted = Ops::AndNot(uncoloured, black);
        colour[0] = Ops::Or(Ops::Or(colour[0], Ops::And(substituted, substitute[0])), opaque[0]);
        colour[1] = Ops::Or(Ops::Or(colour[1], Ops::And(substituted, substitute[1])), opaque[1]);
      }
      if (kDeviceBytes == 2) {
        Ops::StoreWords(out + 2 * x, colour[0]);
      } else {
        Ops::StoreHalves(out + 4 * x, colour[0], colour[1]);
      }
    }
  }
  return whole;
}

// The instance for the converter's shape.
template <typename Ops>
int ConvertLanes(const TexelConverter& c, const uint8_t* in, size_t inPitch, int count, int rows, uint8_t* out,
                 size_t outPitch) {
  using LaneRows = int (*)(const TexelConverter&, const uint8_t*, size_t, int, int, uint8_t*, size_t);
  const LaneRows byShape[2][2][2] = {
      {{ConvertLaneRows<Ops, 1, 2, false>, ConvertLaneRows<Ops, 1, 2, true>},
       {ConvertLaneRows<Ops, 1, 4, false>, ConvertLaneRows<Ops, 1, 4, true>}},
      {{ConvertLaneRows<Ops, 2, 2, false>, ConvertLaneRows<Ops, 2, 2, true>},
       {ConvertLaneRows<Ops, 2, 4, false>, ConvertLaneRows<Ops, 2, 4, true>}}};
  return byShape[c.sourceBytes - 1][c.deviceBytes / 4][c.substitutes ? 1 : 0](c, in, inPitch, count, rows, out,
                                                                               outPitch);
}

}  // namespace

#endif
