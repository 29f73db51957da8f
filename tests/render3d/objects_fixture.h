// Shared by the host tests of objects, the render list and sprites: the device
// started on the back buffer of a window mode, textures, materials and models
// made the way an application makes them, objects filled in, and looks at the
// device calls and draws that followed.
#ifndef KR_TESTS_RENDER3D_OBJECTS_FIXTURE_H
#define KR_TESTS_RENDER3D_OBJECTS_FIXTURE_H

#include <d3d.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/sim/gdi_control.h"
#include "render3d/frame_fixture.h"
#include "render3d/viewports.h"
#include "wine/support/model_image.h"

// An object that keeps naming its own frame when copied, as tests build them
// by value and keep them in containers.
struct TestObject : tagKR3DOBJECT {
  TestObject() { memset(static_cast<void*>(static_cast<tagKR3DOBJECT*>(this)), 0, sizeof(tagKR3DOBJECT)); }
  TestObject(const TestObject& other) : tagKR3DOBJECT(other) { KeepOwnFrame(other); }
  TestObject& operator=(const TestObject& other) {
    tagKR3DOBJECT::operator=(other);
    KeepOwnFrame(other);
    return *this;
  }

 private:
  void KeepOwnFrame(const TestObject& other) {
    if (other.lpFrame == &other.frame) lpFrame = &frame;
  }
};

class ObjectsTest : public FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(StartModeAndDevice(DisplayWidth(), DisplayHeight()));
    if (DrawsInAScene()) {
      ASSERT_EQ(KR3DBeginRender(0), 1);
      Forget();
    }
  }

  // An open scene ends before the library is cleaned up.
  void TearDown() override {
    if (KR3DDeviceReady() && sim::DescribeDirect3DDevice(g_kr3D.lpDevice).inScene) KR3DEndRender();
    FrameTest::TearDown();
  }

  virtual unsigned long DisplayWidth() const { return 640; }
  virtual unsigned long DisplayHeight() const { return 480; }

  // Objects draw inside the application's scene; sprites make their own.
  virtual bool DrawsInAScene() const { return true; }

  // A 24-bit texture of `width` x `height` from a bitmap file.
  static int Texture(int width = 4, int height = 4) {
    sim::BmpImage image;
    image.width = width;
    image.height = height;
    image.bitCount = 24;
    image.pixels.assign(static_cast<size_t>(width * height), 0x808080);
    sim::WriteWholeFile("texture.bmp", sim::EncodeBmp(image));
    const int texture = KR3DCreateTexture("texture.bmp", -1);
    EXPECT_NE(texture, 0);
    return texture;
  }

  static int Material() {
    D3DMATERIAL desc;
    memset(&desc, 0, sizeof(desc));
    desc.dwSize = sizeof(desc);
    desc.diffuse.r = desc.diffuse.g = desc.diffuse.b = desc.diffuse.a = 1.0f;
    const int material = KR3DCreateMaterial(&desc);
    EXPECT_NE(material, 0);
    return material;
  }

  static int Model(const ModelDescription& m = SquareModel(), unsigned long flags = KR3DMODEL_INDEXED) {
    std::string bytes = ModelBytes(m);
    std::vector<char> image(bytes.begin(), bytes.end());
    const int model = KR3DCreateModel(static_cast<void*>(image.data()), flags);
    EXPECT_NE(model, 0);
    return model;
  }

  static KR3DMATRIX Identity() {
    KR3DMATRIX m;
    m.SetIdentity();
    return m;
  }
  static KR3DMATRIX Translation(float x, float y = 0, float z = 0) {
    KR3DMATRIX m;
    m.SetTranslate(x, y, z);
    return m;
  }
  // a times b into a matrix of the caller's.
  static KR3DMATRIX Product(KR3DMATRIX a, const KR3DMATRIX& b) {
    KR3DMATRIX result = a * b;
    return result;
  }

  // An object on its own dirty root frame at `local`.
  static TestObject Object(int* model, int* texture = nullptr, int* material = nullptr, DWORD flags = 0,
                              const KR3DMATRIX& local = Identity()) {
    TestObject object;
    object.dwFlags = flags;
    object.dwSrcBlend = D3DBLEND_SRCALPHA;
    object.dwDestBlend = D3DBLEND_INVSRCALPHA;
    object.dwTextureBlend = D3DTBLEND_MODULATE;
    object.lpModel = model;
    object.lpTexture = texture;
    object.lpMaterial = material;
    object.frame.matLocal = local;
    object.frame.bDirty = 1;
    object.lpFrame = &object.frame;
    return object;
  }

  static IDirect3DTexture2* TextureInterface(int handle) { return g_kr3D.lpTextures[handle].lpD3DTexture; }
  static DWORD MaterialHandle(int handle) { return g_kr3D.lpMaterials[handle].hD3DMaterial; }

  // What a draw was, as one list: indexed, primitive, vertex format, flags, vertex count.
  static std::vector<DWORD> Kind(const sim::Direct3DDraw& d) {
    return {DWORD(d.indexed), DWORD(d.primitive), d.vertexFormat, d.flags, d.vertexCount};
  }

  static void ExpectNear(const D3DMATRIX& actual, const D3DMATRIX& expected) {
    const float* a = &actual._11;
    const float* e = &expected._11;
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(a[i], e[i], 1e-5) << "element " << i;
  }
};

#endif
