// The Glide 2.x interface of glide2x.dll: types, constants, records and the
// 119 entry points. Every entry point is extern "C" and standard-call; each
// argument takes 4 bytes, so an entry point with n arguments removes 4 x n
// bytes and is exported as _name@(4 x n). The records keep their 32-bit layouts.
#ifndef GLIDE_H
#define GLIDE_H

#include <stddef.h>
#include <stdint.h>

// Standard-call on 32-bit x86 only; elsewhere the attribute would only warn.
#if defined(__i386__) || defined(_M_IX86)
#  define FX_CALL __stdcall
#else
#  define FX_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

// ---- Scalar types ------------------------------------------------------------------------
typedef uint8_t FxU8;
typedef int8_t FxI8;
typedef uint16_t FxU16;
typedef int16_t FxI16;
typedef uint32_t FxU32;
typedef int32_t FxI32;
typedef FxI32 FxBool;
typedef float FxFloat;

#define FXTRUE  1
#define FXFALSE 0

typedef FxU32 GrColor_t;
typedef FxU8 GrAlpha_t;
typedef FxU8 GrFog_t;
typedef FxU32 GrMipMapId_t;
typedef void (*GrErrorCallbackFnc_t)(const char* message, FxBool fatal);

typedef FxI32 GrAlphaBlendFnc_t;
typedef FxI32 GrAlphaSource_t;
typedef FxI32 GrAlphaSourceMode_t;
typedef FxI32 GrAspectRatio_t;
typedef FxI32 GrBuffer_t;
typedef FxI32 GrChipID_t;
typedef FxI32 GrChromakeyMode_t;
typedef FxI32 GrCmpFnc_t;
typedef FxI32 GrColorCombineFnc_t;
typedef FxI32 GrColorCombineFunction_t;
typedef FxI32 GrColorFormat_t;
typedef FxI32 GrCombineFactor_t;
typedef FxI32 GrCombineFunction_t;
typedef FxI32 GrCombineLocal_t;
typedef FxI32 GrCombineOther_t;
typedef FxI32 GrCullMode_t;
typedef FxI32 GrDepthBufferMode_t;
typedef FxI32 GrDitherMode_t;
typedef FxI32 GrFogMode_t;
typedef FxI32 GrHint_t;
typedef FxI32 GrLfbSrcFmt_t;
typedef FxI32 GrLfbWriteMode_t;
typedef FxI32 GrLock_t;
typedef FxI32 GrLOD_t;
typedef FxI32 GrMipMapMode_t;
typedef FxI32 GrNCCTable_t;
typedef FxI32 GrOriginLocation_t;
typedef FxI32 GrScreenRefresh_t;
typedef FxI32 GrScreenResolution_t;
typedef FxI32 GrSstType;
typedef FxI32 GrTexBaseRange_t;
typedef FxI32 GrTexTable_t;
typedef FxI32 GrTextureClampMode_t;
typedef FxI32 GrTextureCombineFnc_t;
typedef FxI32 GrTextureFilterMode_t;
typedef FxI32 GrTextureFormat_t;

// ---- Limits ------------------------------------------------------------------------------
#define MAX_NUM_SST       4
#define GLIDE_NUM_TMU     2
#define GR_FOG_TABLE_SIZE 64

// ---- GrScreenResolution_t ----------------------------------------------------------------
#define GR_RESOLUTION_320x200   0x0
#define GR_RESOLUTION_320x240   0x1
#define GR_RESOLUTION_400x256   0x2
#define GR_RESOLUTION_512x384   0x3
#define GR_RESOLUTION_640x200   0x4
#define GR_RESOLUTION_640x350   0x5
#define GR_RESOLUTION_640x400   0x6
#define GR_RESOLUTION_640x480   0x7
#define GR_RESOLUTION_800x600   0x8
#define GR_RESOLUTION_960x720   0x9
#define GR_RESOLUTION_856x480   0xA
#define GR_RESOLUTION_512x256   0xB
#define GR_RESOLUTION_1024x768  0xC
#define GR_RESOLUTION_1280x1024 0xD
#define GR_RESOLUTION_1600x1200 0xE
#define GR_RESOLUTION_400x300   0xF
#define GR_RESOLUTION_NONE      0xFF

// ---- Colour formats, origins, buffers ----------------------------------------------------
#define GR_COLORFORMAT_ARGB 0x0
#define GR_COLORFORMAT_ABGR 0x1
#define GR_COLORFORMAT_RGBA 0x2
#define GR_COLORFORMAT_BGRA 0x3

#define GR_ORIGIN_UPPER_LEFT 0x0
#define GR_ORIGIN_LOWER_LEFT 0x1
#define GR_ORIGIN_ANY        0xFF

#define GR_BUFFER_FRONTBUFFER  0x0
#define GR_BUFFER_BACKBUFFER   0x1
#define GR_BUFFER_AUXBUFFER    0x2
#define GR_BUFFER_DEPTHBUFFER  0x3
#define GR_BUFFER_ALPHABUFFER  0x4
#define GR_BUFFER_TRIPLEBUFFER 0x5

// ---- GrCmpFnc_t --------------------------------------------------------------------------
#define GR_CMP_NEVER    0x0
#define GR_CMP_LESS     0x1
#define GR_CMP_EQUAL    0x2
#define GR_CMP_LEQUAL   0x3
#define GR_CMP_GREATER  0x4
#define GR_CMP_NOTEQUAL 0x5
#define GR_CMP_GEQUAL   0x6
#define GR_CMP_ALWAYS   0x7

// ---- GrCombineFunction_t -----------------------------------------------------------------
#define GR_COMBINE_FUNCTION_ZERO                                    0x0
#define GR_COMBINE_FUNCTION_LOCAL                                   0x1
#define GR_COMBINE_FUNCTION_LOCAL_ALPHA                             0x2
#define GR_COMBINE_FUNCTION_SCALE_OTHER                             0x3
#define GR_COMBINE_FUNCTION_BLEND_OTHER                             GR_COMBINE_FUNCTION_SCALE_OTHER
#define GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL                   0x4
#define GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA             0x5
#define GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL                 0x6
#define GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL       0x7
#define GR_COMBINE_FUNCTION_BLEND                                   GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL
#define GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL_ALPHA 0x8
#define GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL             0x9
#define GR_COMBINE_FUNCTION_BLEND_LOCAL                             GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL
#define GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL_ALPHA       0x10

// ---- GrCombineFactor_t -------------------------------------------------------------------
#define GR_COMBINE_FACTOR_ZERO                    0x0
#define GR_COMBINE_FACTOR_NONE                    GR_COMBINE_FACTOR_ZERO
#define GR_COMBINE_FACTOR_LOCAL                   0x1
#define GR_COMBINE_FACTOR_OTHER_ALPHA             0x2
#define GR_COMBINE_FACTOR_LOCAL_ALPHA             0x3
#define GR_COMBINE_FACTOR_TEXTURE_ALPHA           0x4
#define GR_COMBINE_FACTOR_LOD_FRACTION            0x5
#define GR_COMBINE_FACTOR_ONE                     0x8
#define GR_COMBINE_FACTOR_ONE_MINUS_LOCAL         0x9
#define GR_COMBINE_FACTOR_ONE_MINUS_OTHER_ALPHA   0xA
#define GR_COMBINE_FACTOR_ONE_MINUS_LOCAL_ALPHA   0xB
#define GR_COMBINE_FACTOR_ONE_MINUS_TEXTURE_ALPHA 0xC
#define GR_COMBINE_FACTOR_ONE_MINUS_LOD_FRACTION  0xD

// ---- GrCombineLocal_t, GrCombineOther_t --------------------------------------------------
#define GR_COMBINE_LOCAL_ITERATED 0x0
#define GR_COMBINE_LOCAL_CONSTANT 0x1
#define GR_COMBINE_LOCAL_DEPTH    0x2

#define GR_COMBINE_OTHER_ITERATED 0x0
#define GR_COMBINE_OTHER_TEXTURE  0x1
#define GR_COMBINE_OTHER_CONSTANT 0x2

// ---- GrColorCombineFnc_t -----------------------------------------------------------------
#define GR_COLORCOMBINE_ZERO                          0x0
#define GR_COLORCOMBINE_CCRGB                         0x1
#define GR_COLORCOMBINE_ITRGB                         0x2
#define GR_COLORCOMBINE_ITRGB_DELTA0                  0x3
#define GR_COLORCOMBINE_DECAL_TEXTURE                 0x4
#define GR_COLORCOMBINE_TEXTURE_TIMES_CCRGB           0x5
#define GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB           0x6
#define GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB_DELTA0    0x7
#define GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB_ADD_ALPHA 0x8
#define GR_COLORCOMBINE_TEXTURE_TIMES_ALPHA           0x9
#define GR_COLORCOMBINE_TEXTURE_TIMES_ALPHA_ADD_ITRGB 0xA
#define GR_COLORCOMBINE_TEXTURE_ADD_ITRGB             0xB
#define GR_COLORCOMBINE_TEXTURE_SUB_ITRGB             0xC
#define GR_COLORCOMBINE_CCRGB_BLEND_ITRGB_ON_TEXALPHA 0xD
#define GR_COLORCOMBINE_DIFF_SPEC_A                   0xE
#define GR_COLORCOMBINE_DIFF_SPEC_B                   0xF
#define GR_COLORCOMBINE_ONE                           0x10

// ---- GrAlphaBlendFnc_t: 2 and 6 name a destination colour as source factor and a
// source colour as destination factor; 15 likewise has two names.
#define GR_BLEND_ZERO                0x0
#define GR_BLEND_SRC_ALPHA           0x1
#define GR_BLEND_SRC_COLOR           0x2
#define GR_BLEND_DST_COLOR           GR_BLEND_SRC_COLOR
#define GR_BLEND_DST_ALPHA           0x3
#define GR_BLEND_ONE                 0x4
#define GR_BLEND_ONE_MINUS_SRC_ALPHA 0x5
#define GR_BLEND_ONE_MINUS_SRC_COLOR 0x6
#define GR_BLEND_ONE_MINUS_DST_COLOR GR_BLEND_ONE_MINUS_SRC_COLOR
#define GR_BLEND_ONE_MINUS_DST_ALPHA 0x7
#define GR_BLEND_ALPHA_SATURATE      0xF
#define GR_BLEND_PREFOG_COLOR        GR_BLEND_ALPHA_SATURATE

// ---- Other rendering modes ---------------------------------------------------------------
#define GR_CHROMAKEY_DISABLE 0x0
#define GR_CHROMAKEY_ENABLE  0x1

#define GR_CULL_DISABLE  0x0
#define GR_CULL_NEGATIVE 0x1
#define GR_CULL_POSITIVE 0x2

#define GR_DEPTHBUFFER_DISABLE                 0x0
#define GR_DEPTHBUFFER_ZBUFFER                 0x1
#define GR_DEPTHBUFFER_WBUFFER                 0x2
#define GR_DEPTHBUFFER_ZBUFFER_COMPARE_TO_BIAS 0x3
#define GR_DEPTHBUFFER_WBUFFER_COMPARE_TO_BIAS 0x4

#define GR_DITHER_DISABLE 0x0
#define GR_DITHER_2x2     0x1
#define GR_DITHER_4x4     0x2

#define GR_FOG_DISABLE             0x0
#define GR_FOG_WITH_ITERATED_ALPHA 0x1
#define GR_FOG_WITH_TABLE          0x2

// ---- Linear frame buffer -----------------------------------------------------------------
#define GR_LFB_READ_ONLY  0x00
#define GR_LFB_WRITE_ONLY 0x01
#define GR_LFB_IDLE       0x00
#define GR_LFB_NOIDLE     0x10

#define GR_LFBWRITEMODE_565        0x0
#define GR_LFBWRITEMODE_555        0x1
#define GR_LFBWRITEMODE_1555       0x2
#define GR_LFBWRITEMODE_888        0x4
#define GR_LFBWRITEMODE_8888       0x5
#define GR_LFBWRITEMODE_565_DEPTH  0xC
#define GR_LFBWRITEMODE_555_DEPTH  0xD
#define GR_LFBWRITEMODE_1555_DEPTH 0xE
#define GR_LFBWRITEMODE_ZA16       0xF
#define GR_LFBWRITEMODE_ANY        0xFF

// ---- Texture units and texture state -----------------------------------------------------
#define GR_TMU0 0x0
#define GR_TMU1 0x1
#define GR_TMU2 0x2
#define GR_FBI  0x3

#define GR_TEXTUREFILTER_POINT_SAMPLED 0x0
#define GR_TEXTUREFILTER_BILINEAR      0x1

#define GR_TEXTURECLAMP_WRAP  0x0
#define GR_TEXTURECLAMP_CLAMP 0x1

#define GR_MIPMAP_DISABLE        0x0
#define GR_MIPMAP_NEAREST        0x1
#define GR_MIPMAP_NEAREST_DITHER 0x2

// GrLOD_t: the largest edge of a level.
#define GR_LOD_256 0x0
#define GR_LOD_128 0x1
#define GR_LOD_64  0x2
#define GR_LOD_32  0x3
#define GR_LOD_16  0x4
#define GR_LOD_8   0x5
#define GR_LOD_4   0x6
#define GR_LOD_2   0x7
#define GR_LOD_1   0x8

// GrAspectRatio_t: width to height.
#define GR_ASPECT_8x1 0x0
#define GR_ASPECT_4x1 0x1
#define GR_ASPECT_2x1 0x2
#define GR_ASPECT_1x1 0x3
#define GR_ASPECT_1x2 0x4
#define GR_ASPECT_1x4 0x5
#define GR_ASPECT_1x8 0x6

#define GR_TEXFMT_RGB_332             0x0
#define GR_TEXFMT_YIQ_422             0x1
#define GR_TEXFMT_ALPHA_8             0x2
#define GR_TEXFMT_INTENSITY_8         0x3
#define GR_TEXFMT_ALPHA_INTENSITY_44  0x4
#define GR_TEXFMT_P_8                 0x5
#define GR_TEXFMT_RSVD0               0x6
#define GR_TEXFMT_RSVD1               0x7
#define GR_TEXFMT_ARGB_8332           0x8
#define GR_TEXFMT_AYIQ_8422           0x9
#define GR_TEXFMT_RGB_565             0xA
#define GR_TEXFMT_ARGB_1555           0xB
#define GR_TEXFMT_ARGB_4444           0xC
#define GR_TEXFMT_ALPHA_INTENSITY_88  0xD
#define GR_TEXFMT_AP_88               0xE

#define GR_SSTTYPE_VOODOO 0x0

// ---- Records -----------------------------------------------------------------------------
typedef struct {
  float sow;
  float tow;
  float oow;
} GrTmuVertex;

typedef struct {
  float x, y, z;
  float r, g, b;
  float ooz;
  float a;
  float oow;
  GrTmuVertex tmuvtx[GLIDE_NUM_TMU];
} GrVertex;

typedef struct {
  GrLOD_t smallLod;
  GrLOD_t largeLod;
  GrAspectRatio_t aspectRatio;
  GrTextureFormat_t format;
  void* data;
} GrTexInfo;

typedef struct {
  FxI32 size;
  void* lfbPtr;
  FxU32 strideInBytes;
  GrLfbWriteMode_t writeMode;
  GrOriginLocation_t origin;
} GrLfbInfo_t;

// Opaque to the game: the library copies exactly these 35 words out and in.
typedef struct {
  FxU32 words[35];
} GrState;

typedef struct {
  FxI32 tmuRev;
  FxI32 tmuRam;
} GrTMUConfig_t;

typedef struct {
  FxI32 fbRam;
  FxI32 fbiRev;
  FxI32 nTexelfx;
  FxBool sliDetect;
  GrTMUConfig_t tmuConfig[GLIDE_NUM_TMU];
} GrVoodooConfig_t;

typedef struct {
  GrSstType type;
  union {
    GrVoodooConfig_t VoodooConfig;
  } sstBoard;
} GrSstConfig_t;

typedef struct {
  FxI32 num_sst;
  GrSstConfig_t SSTs[MAX_NUM_SST];
} GrHwConfiguration;

typedef struct {
  FxU32 pixelsIn;
  FxU32 chromaFail;
  FxU32 zFuncFail;
  FxU32 aFuncFail;
  FxU32 pixelsOut;
} GrSstPerfStats_t;

// Only the leading fields: this library never fills one.
typedef struct {
  FxI32 sst;
  FxBool valid;
  FxI32 width;
  FxI32 height;
  GrAspectRatio_t aspect_ratio;
  void* data;
  GrTextureFormat_t format;
  GrMipMapMode_t mipmap_mode;
} GrMipMapInfo;

typedef struct {
  FxU8 yRGB[16];
  FxI16 iRGB[4][3];
  FxI16 qRGB[4][3];
  FxU32 packed_data[12];
} GuNccTable;

typedef struct {
  FxU32 data[256];
} GuTexPalette;

typedef union {
  GuNccTable nccTable;
  GuTexPalette palette;
} GuTexTable;

typedef struct {
  FxU32 width;
  FxU32 height;
  FxI32 small_lod;
  FxI32 large_lod;
  GrAspectRatio_t aspect_ratio;
  GrTextureFormat_t format;
} Gu3dfHeader;

typedef struct {
  Gu3dfHeader header;
  GuTexTable table;
  void* data;
  FxU32 mem_required;
} Gu3dfInfo;

// ---- Entry points ------------------------------------------------------------------------
// Start-up, screen and version
void FX_CALL grGlideInit(void);
void FX_CALL grGlideShutdown(void);
void FX_CALL grGlideGetVersion(char version[80]);
FxBool FX_CALL grSstWinOpen(FxU32 hWnd, GrScreenResolution_t resolution, GrScreenRefresh_t refresh, GrColorFormat_t colorFormat, GrOriginLocation_t origin, int nColBuffers, int nAuxBuffers);
void FX_CALL grSstWinClose(void);
void FX_CALL grSplash(float x, float y, float width, float height, FxU32 frame);
FxU32 FX_CALL grSstScreenWidth(void);
FxU32 FX_CALL grSstScreenHeight(void);
FxBool FX_CALL grSstControl(FxU32 code);
FxBool FX_CALL grSstQueryHardware(GrHwConfiguration* hwConfig);
FxBool FX_CALL grSstQueryBoards(GrHwConfiguration* hwConfig);
void FX_CALL grSstSelect(int whichSst);
void FX_CALL grSstIdle(void);
FxBool FX_CALL grSstIsBusy(void);
FxU32 FX_CALL grSstStatus(void);
FxU32 FX_CALL grSstVideoLine(void);
FxBool FX_CALL grSstVRetraceOn(void);
void FX_CALL grSstPerfStats(GrSstPerfStats_t* stats);
void FX_CALL grSstResetPerfStats(void);
void FX_CALL grTriStats(FxU32* trisProcessed, FxU32* trisDrawn);
void FX_CALL grResetTriStats(void);
void FX_CALL grErrorSetCallback(GrErrorCallbackFnc_t function);
void FX_CALL grGlideShamelessPlug(FxBool on);
void FX_CALL grHints(GrHint_t hintType, FxU32 hintMask);
void FX_CALL grCheckForRoom(FxI32 n);

// Rendering state
void FX_CALL grAlphaBlendFunction(GrAlphaBlendFnc_t rgbSrcFactor, GrAlphaBlendFnc_t rgbDstFactor, GrAlphaBlendFnc_t alphaSrcFactor, GrAlphaBlendFnc_t alphaDstFactor);
void FX_CALL grAlphaCombine(GrCombineFunction_t function, GrCombineFactor_t factor, GrCombineLocal_t local, GrCombineOther_t other, FxBool invert);
void FX_CALL grColorCombine(GrCombineFunction_t function, GrCombineFactor_t factor, GrCombineLocal_t local, GrCombineOther_t other, FxBool invert);
void FX_CALL guColorCombineFunction(GrColorCombineFnc_t function);
void FX_CALL guAlphaSource(GrAlphaSource_t mode);
void FX_CALL grAlphaControlsITRGBLighting(FxBool enable);
void FX_CALL grAlphaTestFunction(GrCmpFnc_t function);
void FX_CALL grAlphaTestReferenceValue(GrAlpha_t value);
void FX_CALL grChromakeyMode(GrChromakeyMode_t mode);
void FX_CALL grChromakeyValue(GrColor_t value);
void FX_CALL grClipWindow(FxU32 minx, FxU32 miny, FxU32 maxx, FxU32 maxy);
void FX_CALL grColorMask(FxBool rgb, FxBool alpha);
void FX_CALL grCullMode(GrCullMode_t mode);
void FX_CALL grConstantColorValue(GrColor_t value);
void FX_CALL grConstantColorValue4(float a, float r, float g, float b);
void FX_CALL grDepthBiasLevel(FxI16 level);
void FX_CALL grDepthBufferFunction(GrCmpFnc_t function);
void FX_CALL grDepthBufferMode(GrDepthBufferMode_t mode);
void FX_CALL grDepthMask(FxBool enable);
void FX_CALL grDitherMode(GrDitherMode_t mode);
void FX_CALL grSstOrigin(GrOriginLocation_t origin);
void FX_CALL grDisableAllEffects(void);
void FX_CALL grGlideGetState(GrState* state);
void FX_CALL grGlideSetState(const GrState* state);

// Fog and gamma
void FX_CALL grFogColorValue(GrColor_t color);
void FX_CALL grFogMode(GrFogMode_t mode);
void FX_CALL grFogTable(const GrFog_t table[GR_FOG_TABLE_SIZE]);
void FX_CALL guFogGenerateExp(GrFog_t table[GR_FOG_TABLE_SIZE], float density);
void FX_CALL guFogGenerateExp2(GrFog_t table[GR_FOG_TABLE_SIZE], float density);
void FX_CALL guFogGenerateLinear(GrFog_t table[GR_FOG_TABLE_SIZE], float start, float end);
float FX_CALL guFogTableIndexToW(int i);
void FX_CALL grGammaCorrectionValue(float value);

// Drawing and frame buffers
void FX_CALL grDrawPoint(const GrVertex* a);
void FX_CALL grDrawLine(const GrVertex* a, const GrVertex* b);
void FX_CALL grDrawTriangle(const GrVertex* a, const GrVertex* b, const GrVertex* c);
void FX_CALL guDrawTriangleWithClip(const GrVertex* a, const GrVertex* b, const GrVertex* c);
void FX_CALL grDrawPolygonVertexList(int nVerts, const GrVertex vlist[]);
void FX_CALL grDrawPlanarPolygonVertexList(int nVerts, const GrVertex vlist[]);
void FX_CALL guDrawPolygonVertexListWithClip(int nVerts, const GrVertex vlist[]);
void FX_CALL grDrawPolygon(int nVerts, const int ilist[], const GrVertex vlist[]);
void FX_CALL grDrawPlanarPolygon(int nVerts, const int ilist[], const GrVertex vlist[]);
void FX_CALL grAADrawPoint(const GrVertex* a);
void FX_CALL grAADrawLine(const GrVertex* a, const GrVertex* b);
void FX_CALL grAADrawTriangle(const GrVertex* a, const GrVertex* b, const GrVertex* c, FxBool abAntialias, FxBool bcAntialias, FxBool caAntialias);
void FX_CALL guAADrawTriangleWithClip(const GrVertex* a, const GrVertex* b, const GrVertex* c);
void FX_CALL grAADrawPolygon(int nVerts, const int ilist[], const GrVertex vlist[]);
void FX_CALL grAADrawPolygonVertexList(int nVerts, const GrVertex vlist[]);
void FX_CALL grBufferClear(GrColor_t color, GrAlpha_t alpha, FxU16 depth);
void FX_CALL grBufferSwap(int swapInterval);
int FX_CALL grBufferNumPending(void);
void FX_CALL grRenderBuffer(GrBuffer_t buffer);
FxBool FX_CALL grLfbLock(GrLock_t type, GrBuffer_t buffer, GrLfbWriteMode_t writeMode, GrOriginLocation_t origin, FxBool pixelPipeline, GrLfbInfo_t* info);
FxBool FX_CALL grLfbUnlock(GrLock_t type, GrBuffer_t buffer);
void FX_CALL grLfbConstantAlpha(GrAlpha_t alpha);
void FX_CALL grLfbConstantDepth(FxU16 depth);
void FX_CALL grLfbWriteColorFormat(GrColorFormat_t colorFormat);
void FX_CALL grLfbWriteColorSwizzle(FxBool swizzleBytes, FxBool swapWords);
FxBool FX_CALL grLfbReadRegion(GrBuffer_t srcBuffer, FxU32 srcX, FxU32 srcY, FxU32 srcWidth, FxU32 srcHeight, FxU32 dstStride, void* dstData);
FxBool FX_CALL grLfbWriteRegion(GrBuffer_t dstBuffer, FxU32 dstX, FxU32 dstY, GrLfbSrcFmt_t srcFormat, FxU32 srcWidth, FxU32 srcHeight, FxI32 srcStride, void* srcData);

// Textures
FxU32 FX_CALL grTexMinAddress(GrChipID_t tmu);
FxU32 FX_CALL grTexMaxAddress(GrChipID_t tmu);
FxU32 FX_CALL grTexCalcMemRequired(GrLOD_t smallLod, GrLOD_t largeLod, GrAspectRatio_t aspect, GrTextureFormat_t format);
FxU32 FX_CALL grTexTextureMemRequired(FxU32 evenOdd, GrTexInfo* info);
void FX_CALL grTexSource(GrChipID_t tmu, FxU32 startAddress, FxU32 evenOdd, GrTexInfo* info);
void FX_CALL grTexFilterMode(GrChipID_t tmu, GrTextureFilterMode_t minFilterMode, GrTextureFilterMode_t magFilterMode);
void FX_CALL grTexClampMode(GrChipID_t tmu, GrTextureClampMode_t sClampMode, GrTextureClampMode_t tClampMode);
void FX_CALL grTexMipMapMode(GrChipID_t tmu, GrMipMapMode_t mode, FxBool lodBlend);
void FX_CALL grTexCombine(GrChipID_t tmu, GrCombineFunction_t rgbFunction, GrCombineFactor_t rgbFactor, GrCombineFunction_t alphaFunction, GrCombineFactor_t alphaFactor, FxBool rgbInvert, FxBool alphaInvert);
void FX_CALL grTexCombineFunction(GrChipID_t tmu, GrTextureCombineFnc_t function);
void FX_CALL guTexCombineFunction(GrChipID_t tmu, GrTextureCombineFnc_t function);
void FX_CALL grTexDownloadMipMap(GrChipID_t tmu, FxU32 startAddress, FxU32 evenOdd, GrTexInfo* info);
void FX_CALL grTexDownloadMipMapLevel(GrChipID_t tmu, FxU32 startAddress, GrLOD_t thisLod, GrLOD_t largeLod, GrAspectRatio_t aspectRatio, GrTextureFormat_t format, FxU32 evenOdd, void* data);
void FX_CALL grTexDownloadMipMapLevelPartial(GrChipID_t tmu, FxU32 startAddress, GrLOD_t thisLod, GrLOD_t largeLod, GrAspectRatio_t aspectRatio, GrTextureFormat_t format, FxU32 evenOdd, void* data, int start, int end);
void FX_CALL grTexDownloadTable(GrChipID_t tmu, GrTexTable_t type, void* data);
void FX_CALL grTexDownloadTablePartial(GrChipID_t tmu, GrTexTable_t type, void* data, int start, int end);
void FX_CALL grTexNCCTable(GrChipID_t tmu, GrNCCTable_t table);
void FX_CALL grTexLodBiasValue(GrChipID_t tmu, float bias);
void FX_CALL grTexDetailControl(GrChipID_t tmu, int lodBias, FxU8 detailScale, float detailMax);
void FX_CALL grTexMultibase(GrChipID_t tmu, FxBool enable);
void FX_CALL grTexMultibaseAddress(GrChipID_t tmu, GrTexBaseRange_t range, FxU32 startAddress, FxU32 evenOdd, GrTexInfo* info);
GrMipMapId_t FX_CALL guTexAllocateMemory(GrChipID_t tmu, FxU8 evenOddMask, int width, int height, GrTextureFormat_t format, GrMipMapMode_t mmMode, GrLOD_t smallLod, GrLOD_t largeLod, GrAspectRatio_t aspectRatio, GrTextureClampMode_t sClampMode, GrTextureClampMode_t tClampMode, GrTextureFilterMode_t minFilterMode, GrTextureFilterMode_t magFilterMode, float lodBias, FxBool trilinear);
FxBool FX_CALL guTexChangeAttributes(GrMipMapId_t mmid, int width, int height, GrTextureFormat_t format, GrMipMapMode_t mmMode, GrLOD_t smallLod, GrLOD_t largeLod, GrAspectRatio_t aspectRatio, GrTextureClampMode_t sClampMode, GrTextureClampMode_t tClampMode, GrTextureFilterMode_t minFilterMode, GrTextureFilterMode_t magFilterMode);
GrMipMapId_t FX_CALL guTexCreateColorMipMap(void);
void FX_CALL guTexDownloadMipMap(GrMipMapId_t mmid, const void* src, const GuNccTable* nccTable);
void FX_CALL guTexDownloadMipMapLevel(GrMipMapId_t mmid, GrLOD_t lod, const void** src);
GrMipMapId_t FX_CALL guTexGetCurrentMipMap(GrChipID_t tmu);
GrMipMapInfo*FX_CALL guTexGetMipMapInfo(GrMipMapId_t mmid);
FxU32 FX_CALL guTexMemQueryAvail(GrChipID_t tmu);
void FX_CALL guTexMemReset(void);
void FX_CALL guTexSource(GrMipMapId_t mmid);
int FX_CALL guEncodeRLE16(void* dst, void* src, FxU32 width, FxU32 height);
void FX_CALL ConvertAndDownloadRle(GrChipID_t tmu, FxU32 startAddress, GrLOD_t thisLod, GrLOD_t largeLod, GrAspectRatio_t aspectRatio, GrTextureFormat_t format, FxU32 evenOdd, FxU8* bmData, FxI32 bmHeight, FxU32 u0, FxU32 v0, FxU32 width, FxU32 height, FxU32 destWidth, FxU32 destHeight, FxU16* tlut);

// 3DF texture files
FxBool FX_CALL gu3dfGetInfo(const char* filename, Gu3dfInfo* info);
FxBool FX_CALL gu3dfLoad(const char* filename, Gu3dfInfo* info);

#ifdef __cplusplus
}  // extern "C"
#endif

// ---- Layouts -----------------------------------------------------------------------------
#ifdef __cplusplus
#define GLIDE_LAYOUT(condition, what) static_assert(condition, what)
#else
#define GLIDE_LAYOUT(condition, what) _Static_assert(condition, what)
#endif
GLIDE_LAYOUT(sizeof(GrTmuVertex) == 12, "GrTmuVertex is 12 bytes");
GLIDE_LAYOUT(sizeof(GrVertex) == 60, "GrVertex is 60 bytes");
GLIDE_LAYOUT(offsetof(GrVertex, ooz) == 24, "GrVertex.ooz");
GLIDE_LAYOUT(offsetof(GrVertex, a) == 28, "GrVertex.a");
GLIDE_LAYOUT(offsetof(GrVertex, oow) == 32, "GrVertex.oow");
GLIDE_LAYOUT(offsetof(GrVertex, tmuvtx) == 36, "GrVertex.tmuvtx");
GLIDE_LAYOUT(sizeof(GrState) == 140, "GrState holds 35 words");
GLIDE_LAYOUT(sizeof(GrTMUConfig_t) == 8, "GrTMUConfig_t is 8 bytes");
GLIDE_LAYOUT(sizeof(GrVoodooConfig_t) == 32, "GrVoodooConfig_t is 32 bytes");
GLIDE_LAYOUT(sizeof(GrSstConfig_t) == 36, "GrSstConfig_t is 36 bytes");
GLIDE_LAYOUT(sizeof(GrHwConfiguration) == 148, "GrHwConfiguration is 148 bytes");
GLIDE_LAYOUT(offsetof(GrHwConfiguration, SSTs) == 4, "GrHwConfiguration.SSTs");
GLIDE_LAYOUT(sizeof(GrSstPerfStats_t) == 20, "GrSstPerfStats_t is 20 bytes");
GLIDE_LAYOUT(sizeof(GuNccTable) == 112, "GuNccTable is 112 bytes");
GLIDE_LAYOUT(offsetof(GuNccTable, iRGB) == 16, "GuNccTable.iRGB");
GLIDE_LAYOUT(offsetof(GuNccTable, qRGB) == 40, "GuNccTable.qRGB");
GLIDE_LAYOUT(offsetof(GuNccTable, packed_data) == 64, "GuNccTable.packed_data");
GLIDE_LAYOUT(sizeof(GuTexTable) == 1024, "GuTexTable is 1024 bytes");
GLIDE_LAYOUT(sizeof(Gu3dfHeader) == 24, "Gu3dfHeader is 24 bytes");
// Records with pointers have these sizes in the 32-bit build only.
#if defined(__i386__) || defined(_M_IX86)
GLIDE_LAYOUT(sizeof(GrTexInfo) == 20, "GrTexInfo is 20 bytes");
GLIDE_LAYOUT(offsetof(GrTexInfo, data) == 16, "GrTexInfo.data");
GLIDE_LAYOUT(sizeof(GrLfbInfo_t) == 20, "GrLfbInfo_t is 20 bytes");
GLIDE_LAYOUT(offsetof(GrLfbInfo_t, strideInBytes) == 8, "GrLfbInfo_t.strideInBytes");
GLIDE_LAYOUT(offsetof(GrMipMapInfo, format) == 24, "GrMipMapInfo.format");
GLIDE_LAYOUT(sizeof(Gu3dfInfo) == 1056, "Gu3dfInfo is 1056 bytes");
GLIDE_LAYOUT(offsetof(Gu3dfInfo, data) == 1048, "Gu3dfInfo.data");
GLIDE_LAYOUT(offsetof(Gu3dfInfo, mem_required) == 1052, "Gu3dfInfo.mem_required");
#endif
#undef GLIDE_LAYOUT

#endif  // GLIDE_H
