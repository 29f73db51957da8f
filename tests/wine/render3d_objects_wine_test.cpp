// Objects, the render list and sprites of the real KORVATHD.DLL under Wine's
// Direct3D, read back from the back buffer: a lit, textured model from a model
// file filed through the render list; the depth buffer between two squares in
// either filing order; a translucent ONE/ONE square adding onto what lies
// behind; KR3DRenderFast landing where its own mapping says; sprites showing
// their texels at their rectangles, and a fast batch leaving the background
// between its rectangles alone.
#include <gtest/gtest.h>
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>
#include <korvathd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "render3d_wine_fixture.h"
#include "support/bmp_writer.h"
#include "support/model_image.h"
#include "support/surface_pixels.h"

namespace {

const uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00, kBlack = 0;
const int kTolerance = 16;

// A square from -1 to 1 in the z = 0 plane facing -z, wound clockwise as the
// viewer on -z sees it; one pair per vertex.
ModelDescription CentredSquare() {
  ModelDescription m;
  m.positions = {-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0};
  m.normals = {0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1};
  m.texUV = {0, 1, 1, 1, 1, 0, 0, 0};
  m.indices = {0, 3, 2, 0, 2, 1};
  return m;
}

class ObjectsOnWindows : public Render3DWineTest {
 protected:
  void SetUp() override {
    Render3DWineTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartDevice());
    KR3DClearOrderList();
  }

  // A texture of one colour, or of four quadrants (top left, top right, bottom left, bottom right).
  static int Texture(const char* name, uint32_t tl, uint32_t tr, uint32_t bl, uint32_t br, int side = 64) {
    winsupport::RgbImage image(side, side);
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) image.At(x, y) = y < side / 2 ? (x < side / 2 ? tl : tr) : (x < side / 2 ? bl : br);
    EXPECT_TRUE(winsupport::WriteBmp(name, image));
    const int texture = KR3DCreateTexture(name, -1);
    EXPECT_NE(texture, 0) << std::hex << KRErrorGetLastError();
    return texture;
  }
  static int Texture(const char* name, uint32_t colour) { return Texture(name, colour, colour, colour, colour); }

  static int SquareModel() {
    const std::string bytes = ModelBytes(CentredSquare());
    FILE* file = fopen("objects_square.krm", "wb");
    EXPECT_NE(file, nullptr);
    if (file == nullptr) return 0;
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
    const int model = KR3DCreateModel("objects_square.krm", KR3DMODEL_INDEXED);
    EXPECT_NE(model, 0) << std::hex << KRErrorGetLastError();
    return model;
  }

  // The camera on -z looking at the origin, a quarter-turn field of view.
  void SetCamera() {
    D3DVECTOR from = {{0.0f}, {0.0f}, {-4.0f}}, at = {{0.0f}, {0.0f}, {0.0f}}, up = {{0.0f}, {1.0f}, {0.0f}};
    view_.SetView(from, at, up, 0.0f);
    projection_.SetProjection(1.0f, 100.0f, 1.5707963f);
    KR3DSetViewMatrix(&view_);
    KR3DSetProjectionMatrix(&projection_);
  }

  // Where the default viewport puts a world point: its clip volume runs from -1
  // to 1 across the width and from 0.75 to -0.75 down the height.
  void ScreenOf(float x, float y, float z, int* sx, int* sy) {
    D3DVECTOR p = view_.Transform(x, y, z);
    p = projection_.Transform(p);
    *sx = static_cast<int>(std::lround(kClientWidth / 2.0 + p.x * kClientWidth / 2.0));
    *sy = static_cast<int>(std::lround(kClientHeight / 2.0 - p.y * kClientWidth / 2.0));
  }

  static tagKR3DOBJECT* Fill(tagKR3DOBJECT* object, int* model, int* texture, int* material, DWORD flags,
                             float x, float y, float z) {
    memset(static_cast<void*>(object), 0, sizeof(*object));
    object->dwFlags = flags;
    object->dwSrcBlend = D3DBLEND_ONE;
    object->dwDestBlend = D3DBLEND_ZERO;
    object->dwTextureBlend = D3DTBLEND_DECAL;
    object->lpModel = model;
    object->lpTexture = texture;
    object->lpMaterial = material;
    object->frame.matLocal.SetTranslate(x, y, z);
    object->frame.bDirty = 1;
    object->lpFrame = &object->frame;
    return object;
  }

  // One frame of the render list on a cleared back buffer.
  void RenderList(D3DCOLOR background) {
    ASSERT_EQ(KR3DBeginRender(0), 1);
    KR3DClear(background, 1.0f, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0);
    ASSERT_EQ(device_->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE), D3D_OK);
    KR3DRenderAll();
    ASSERT_EQ(KR3DEndRender(), 1);
  }

  // A back buffer of one colour, outside any scene of the test's.
  void ClearBackBuffer(D3DCOLOR colour) {
    ASSERT_EQ(KR3DBeginRender(0), 1);
    KR3DClear(colour, 1.0f, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0);
    ASSERT_EQ(KR3DEndRender(), 1);
  }

  uint32_t Pixel(int x, int y) {
    uint32_t rgb = 0xDEADBEEF;
    EXPECT_TRUE(winsupport::ReadPixel(back_, x, y, &rgb)) << x << ", " << y;
    return rgb;
  }

  void ExpectPixel(int x, int y, uint32_t wanted, const char* what) {
    const uint32_t shown = Pixel(x, y);
    EXPECT_LE(winsupport::ColourDistance(shown, wanted), kTolerance)
        << what << " at " << x << ", " << y << std::hex << ": " << shown << " for " << wanted;
  }

  KR3DMATRIX view_, projection_;
};

TEST_F(ObjectsOnWindows, LitTexturedModelFromAFileFiledThroughTheListFillsItsProjectedSquare) {
  int model = SquareModel(), texture = Texture("objects_yellow.bmp", kYellow);
  D3DMATERIAL white;
  memset(&white, 0, sizeof(white));
  white.dwSize = sizeof(white);
  white.diffuse.r = white.diffuse.g = white.diffuse.b = white.diffuse.a = 1.0f;
  int material = KR3DCreateMaterial(&white);
  D3DLIGHT2 light;
  memset(&light, 0, sizeof(light));
  light.dwSize = sizeof(light);
  light.dltType = D3DLIGHT_DIRECTIONAL;
  light.dcvColor.r = light.dcvColor.g = light.dcvColor.b = light.dcvColor.a = 1.0f;
  light.dvDirection.z = 1.0f;
  light.dwFlags = D3DLIGHT_ACTIVE;
  int lightHandle = KR3DCreateLight(&light);
  KR3DAddLight(lightHandle, 0);
  SetCamera();

  tagKR3DOBJECT object;
  Fill(&object, &model, &texture, &material, KR3DOBJECT_ZBUFFER, 0, 0, 0);
  object.dwTextureBlend = D3DTBLEND_MODULATE;
  KR3DOrderObject(&object);
  ASSERT_NO_FATAL_FAILURE(RenderList(0xFF0000FF));

  int left, top, right, bottom;
  ScreenOf(-1, 1, 0, &left, &top);
  ScreenOf(1, -1, 0, &right, &bottom);
  ASSERT_GT(right - left, 60);
  EXPECT_EQ(right - left, bottom - top);
  for (int y = top + 4; y <= bottom - 4; y += (bottom - top - 8) / 4)
    for (int x = left + 4; x <= right - 4; x += (right - left - 8) / 4) ExpectPixel(x, y, kYellow, "lit texture");
  const int outside[][2] = {{left - 4, (top + bottom) / 2}, {right + 4, (top + bottom) / 2},
                            {(left + right) / 2, top - 4}, {(left + right) / 2, bottom + 4}, {5, 5}};
  for (const auto& p : outside) ExpectPixel(p[0], p[1], kBlue, "clear colour");

  KR3DDeleteLight(lightHandle, 0);
  KR3DReleaseLight(lightHandle);
  KR3DReleaseMaterial(material);
  KR3DReleaseTexture(texture);
  KR3DReleaseModel(model);
}

TEST_F(ObjectsOnWindows, DepthBufferShowsTheNearerSquareInEitherFilingOrder) {
  int model = SquareModel(), red = Texture("objects_red.bmp", kRed), green = Texture("objects_green.bmp", kGreen);
  SetCamera();
  tagKR3DOBJECT nearer, farther;
  Fill(&nearer, &model, &red, nullptr, KR3DOBJECT_ZBUFFER, -0.5f, 0, -1);
  Fill(&farther, &model, &green, nullptr, KR3DOBJECT_ZBUFFER, 0.5f, 0, 1);
  int centreX, centreY, nearOnlyX, farOnlyX, unused;
  ScreenOf(0, 0, 0, &centreX, &centreY);
  ScreenOf(-1.3f, 0, -1, &nearOnlyX, &unused);
  ScreenOf(1.3f, 0, 1, &farOnlyX, &unused);
  for (int order = 0; order < 2; ++order) {
    SCOPED_TRACE(order == 0 ? "nearer filed first" : "farther filed first");
    KR3DClearOrderList();
    KR3DOrderObject(order == 0 ? &nearer : &farther);
    KR3DOrderObject(order == 0 ? &farther : &nearer);
    ASSERT_NO_FATAL_FAILURE(RenderList(0xFF000000));
    ExpectPixel(centreX, centreY, kRed, "overlap");
    ExpectPixel(nearOnlyX, centreY, kRed, "nearer alone");
    ExpectPixel(farOnlyX, centreY, kGreen, "farther alone");
  }
  KR3DReleaseTexture(red);
  KR3DReleaseTexture(green);
  KR3DReleaseModel(model);
}

TEST_F(ObjectsOnWindows, TranslucentOneOneSquareAddsOntoWhatLiesBehind) {
  int model = SquareModel(), red = Texture("objects_red.bmp", kRed), green = Texture("objects_green.bmp", kGreen);
  SetCamera();
  tagKR3DOBJECT opaque, translucent;
  Fill(&opaque, &model, &red, nullptr, KR3DOBJECT_ZBUFFER, -0.5f, 0, 0);
  Fill(&translucent, &model, &green, nullptr, KR3DOBJECT_ZBUFFER | KR3DOBJECT_TRANSLUCENT, 0.5f, 0, -1);
  translucent.dwDestBlend = D3DBLEND_ONE;
  // Filed first, drawn after the opaque bucket all the same.
  KR3DOrderObject(&translucent);
  KR3DOrderObject(&opaque);
  ASSERT_NO_FATAL_FAILURE(RenderList(0xFF000000));
  int overlapX, y, greenOnlyX, redOnlyX;
  ScreenOf(0, 0, -1, &overlapX, &y);
  ScreenOf(1.3f, 0, -1, &greenOnlyX, &y);
  ScreenOf(-1.3f, 0, 0, &redOnlyX, &y);
  ExpectPixel(overlapX, y, kYellow, "green added onto red");
  ExpectPixel(greenOnlyX, y, kGreen, "green added onto black");
  ExpectPixel(redOnlyX, y, kRed, "red alone");
  KR3DReleaseTexture(red);
  KR3DReleaseTexture(green);
  KR3DReleaseModel(model);
}

TEST_F(ObjectsOnWindows, RenderFastLandsWhereItsOwnMappingSays) {
  int model = SquareModel(), texture = Texture("objects_yellow.bmp", kYellow);
  SetCamera();
  tagKR3DOBJECT object;
  Fill(&object, &model, &texture, nullptr, 0, 0.25f, 0, 0);
  // Half the display per unit on each axis: 320 across, 240 down.
  int corners[2][2];
  const float positions[2][2] = {{-1, 1}, {1, -1}};
  for (int i = 0; i < 2; ++i) {
    D3DVECTOR p = object.frame.matLocal.Transform(positions[i][0], positions[i][1], 0);
    p = view_.Transform(p);
    p = projection_.Transform(p);
    corners[i][0] = static_cast<int>(std::lround((p.x + 1.0f) * kClientWidth / 2.0f));
    corners[i][1] = static_cast<int>(std::lround((1.0f - p.y) * kClientHeight / 2.0f));
  }
  ASSERT_EQ(KR3DBeginRender(0), 1);
  KR3DClear(0xFF000000, 1.0f, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0);
  ASSERT_EQ(device_->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE), D3D_OK);
  KR3DRenderFast(&object);
  ASSERT_EQ(KR3DEndRender(), 1);
  const int left = corners[0][0], top = corners[0][1], right = corners[1][0], bottom = corners[1][1];
  ASSERT_GT(right - left, 40);
  ASSERT_GT(bottom - top, 30);
  ExpectPixel(left + 3, top + 3, kYellow, "inside, top left");
  ExpectPixel(right - 3, bottom - 3, kYellow, "inside, bottom right");
  ExpectPixel((left + right) / 2, (top + bottom) / 2, kYellow, "centre");
  ExpectPixel(left - 3, (top + bottom) / 2, kBlack, "left of it");
  ExpectPixel(right + 3, (top + bottom) / 2, kBlack, "right of it");
  ExpectPixel((left + right) / 2, top - 3, kBlack, "above it");
  ExpectPixel((left + right) / 2, bottom + 3, kBlack, "below it");
  KR3DReleaseTexture(texture);
  KR3DReleaseModel(model);
}

TEST_F(ObjectsOnWindows, SpritesShowTheirTexelsAtTheirRectanglesWhereWhiteWouldSaturate) {
  KR3DSetRenderState(KR3D_RENDERSTATE_FILTER, 0);
  int texture = Texture("objects_quadrants.bmp", kRed, kGreen, kBlue, kYellow);
  ASSERT_NO_FATAL_FAILURE(ClearBackBuffer(0xFF000000));
  KR3DDrawSprite(32, 0, 32, 32, texture, 100, 50, 0);  // the green quadrant
  KR3DDRAWSPRITE batch[2] = {{0, 32, 32, 32, texture, 200, 50}, {32, 32, 32, 32, texture, 300, 50}};
  KR3DDrawSpriteBatch(batch, 2, 0);
  ExpectPixel(116, 66, kGreen, "sprite");
  ExpectPixel(101, 51, kGreen, "sprite's top left");
  ExpectPixel(130, 80, kGreen, "sprite's bottom right");
  ExpectPixel(216, 66, kBlue, "first batch entry");
  ExpectPixel(316, 66, kYellow, "second batch entry");
  ExpectPixel(97, 66, kBlack, "left of the sprite");
  ExpectPixel(135, 66, kBlack, "right of the sprite");
  ExpectPixel(116, 47, kBlack, "above the sprite");
  ExpectPixel(116, 85, kBlack, "below the sprite");

  // The same rectangle with white vertices under the sprites' states: all white.
  IDirect3DTexture2* texels = nullptr;
  KR3DGetDirect3DTextureInterface(&texels, texture);
  D3DTLVERTEX white[4];
  memset(white, 0, sizeof(white));
  const float corners[4][4] = {{400, 50, 0.5f, 0}, {432, 50, 1, 0}, {400, 82, 0.5f, 0.5f}, {432, 82, 1, 0.5f}};
  for (int i = 0; i < 4; ++i) {
    white[i].sx = corners[i][0];
    white[i].sy = corners[i][1];
    white[i].sz = white[i].rhw = 1.0f;
    white[i].color = 0x00FFFFFF;
    white[i].tu = corners[i][2];
    white[i].tv = corners[i][3];
  }
  ASSERT_EQ(device_->BeginScene(), D3D_OK);
  EXPECT_EQ(device_->SetTexture(0, texels), D3D_OK);
  EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_TLVERTEX, white, 4, D3DDP_WAIT), D3D_OK);
  ASSERT_EQ(device_->EndScene(), D3D_OK);
  ExpectPixel(416, 66, 0xFFFFFF, "white vertex colour added to the texel");
  KR3DReleaseTexture(texture);
}

TEST_F(ObjectsOnWindows, FastBatchOfRectanglesFarApartLeavesTheBackgroundBetweenThem) {
  KR3DSetRenderState(KR3D_RENDERSTATE_FILTER, 0);
  int texture = Texture("objects_quadrants.bmp", kRed, kGreen, kBlue, kYellow);
  ASSERT_NO_FATAL_FAILURE(ClearBackBuffer(0xFF000000));
  KR3DDRAWSPRITEFAST rectangles[3] = {{0, 0, 32, 32, 20, 20}, {32, 32, 32, 32, 300, 200}, {0, 32, 32, 32, 580, 420}};
  KR3DDrawSpriteFastBatch(rectangles, 3, texture, 0);
  const uint32_t colours[3] = {kRed, kYellow, kBlue};
  for (int i = 0; i < 3; ++i) {
    ExpectPixel(rectangles[i].nDestX + 2, rectangles[i].nDestY + 2, colours[i], "rectangle's top left");
    ExpectPixel(rectangles[i].nDestX + 29, rectangles[i].nDestY + 29, colours[i], "rectangle's bottom right");
  }
  // Along the lines from one rectangle's centre to the next, outside both: background only.
  for (int i = 0; i < 2; ++i) {
    const float x0 = rectangles[i].nDestX + 16.0f, y0 = rectangles[i].nDestY + 16.0f;
    const float x1 = rectangles[i + 1].nDestX + 16.0f, y1 = rectangles[i + 1].nDestY + 16.0f;
    for (int step = 3; step <= 17; ++step) {
      const int x = static_cast<int>(x0 + (x1 - x0) * step / 20.0f), y = static_cast<int>(y0 + (y1 - y0) * step / 20.0f);
      ExpectPixel(x, y, kBlack, "between two rectangles");
    }
    // Also across the triangle two linked rectangles would span.
    ExpectPixel(rectangles[i].nDestX + 30, rectangles[i + 1].nDestY + 2, kBlack, "beside the next rectangle");
  }
  KR3DReleaseTexture(texture);
}

}  // namespace
