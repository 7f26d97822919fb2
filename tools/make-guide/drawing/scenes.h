// The pieces of the guide's outdoor scenes: sky, sun, hills, water, trees
// and tents, each placed by the caller from its own random numbers.
#ifndef TENTARIA_TOOLS_MAKE_GUIDE_DRAWING_SCENES_H_
#define TENTARIA_TOOLS_MAKE_GUIDE_DRAWING_SCENES_H_

#include "tools/make-guide/drawing/canvas.h"
#include "tools/make-guide/random.h"

namespace tentaria::make_guide {

// Fixed colours of the scenes.
inline constexpr Colour kWhite{255, 255, 255};
inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kSunYellow{255, 214, 64};
inline constexpr Colour kLeafGreen{46, 120, 52};
inline constexpr Colour kPineGreen{28, 84, 48};
inline constexpr Colour kBark{104, 72, 44};
inline constexpr Colour kWater{64, 128, 196};

// A random, fairly bright colour for tents, flags and frames.
Colour BrightColour(Random& random);

// Sky from the top of the canvas to `horizon`, lighter towards it.
void DrawSky(Canvas& canvas, int horizon, Colour top, Colour bottom);
void DrawSun(Canvas& canvas, double x, double y, double radius);
void DrawCloud(Canvas& canvas, double x, double y, double size);
// A band of rolling hills whose crest lies near `crest`, filled to the
// bottom of the canvas.
void DrawHills(Canvas& canvas, Random& random, int crest, int amplitude, Colour colour);
// Water from row `top` to `bottom`, with light ripples.
void DrawWater(Canvas& canvas, Random& random, int top, int bottom);
// Trees stand on (x, ground); size is their height in pixels.
void DrawLeafTree(Canvas& canvas, double x, double ground, double size, Colour leaves);
void DrawPine(Canvas& canvas, double x, double ground, double size, Colour needles);
// A ridge tent of the given width standing on (x, ground).
void DrawTent(Canvas& canvas, double x, double ground, double width, Colour colour);
// A caravan of the given width standing on (x, ground).
void DrawCaravan(Canvas& canvas, double x, double ground, double width, Colour colour);

// A whole landscape: sky, sun or clouds, hills or dunes, maybe water,
// trees and a few tents; `kind` picks the region's look (0 woods, 1 coast,
// 2 hills, 3 lake).
void DrawLandscape(Canvas& canvas, Random& random, int kind);

}  // namespace tentaria::make_guide

#endif  // TENTARIA_TOOLS_MAKE_GUIDE_DRAWING_SCENES_H_
