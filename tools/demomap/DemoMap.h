#pragma once
// The demonstration map: a volcano drawn as a topographic picture, the way the
// simulator writes its maps (brightness is height). Deterministic: the same
// size always gives the same pixels, so the committed data/TolvaDemo.ebm can be
// made again and benchmarks can draw the same scene at any size.

#include <QImage>

namespace tolva {

// A width x height RGB32 picture of a cone with a summit crater, radial ridges
// and gullies on its flanks, a parasitic cone, an old caldera wall, a river
// valley through the plain and a bright lava flow down the south-east flank.
// The scene scales with the picture: any two sizes show the same landscape.
QImage MakeDemoMap(int width, int height);

// One stage of a volcano that grows, for the live demonstration: a cone with a
// summit crater and valleys down its flanks, rising out of a rolling plain.
// `growth` runs from 0 (a low mound) to 1 (the full cone); values outside are
// held to that range.
QImage MakeGrowingVolcano(int width, int height, double growth);

} // namespace tolva
