// The Glide demo's scene, shared by the demo and the benchmark: a textured floor
// and wall in linear table fog behind an alpha-blended pane, in perspective.
#ifndef KR_EXAMPLES_GLIDE_SCENE_H
#define KR_EXAMPLES_GLIDE_SCENE_H

#include <glide.h>

#include <vector>

namespace glidescene {

// A screen-space quad as the scene draws it: four vertices and the state it needs.
struct SceneQuad {
  GrVertex v[4];
  bool textured;
  bool blended;
};

// The texture (a 64 x 64 RGB 565 brick pattern, written as the 3DF file
// bricks.3df and loaded from it) into address 0 and the fog table; false when
// the file could not be loaded.
bool SetUpScene();
// The floor and wall as rows of quads, then the pane.
std::vector<SceneQuad> SceneQuads();
// Draws the quads with the state each needs; returns the triangles drawn.
int DrawScene(const std::vector<SceneQuad>& quads);

}  // namespace glidescene

#endif
