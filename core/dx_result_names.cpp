// Symbolic names of DirectX result codes, for the log lines of failed calls.
//
// One switch per DirectX family, each giving null for a code it does not hold.
// Ondrel carries its own copy of this lookup, built from this file with only the
// DirectDraw, Direct3D and DirectSound tables: it defines
// KR_DXNAMES_THREE_FAMILIES and gives its copy a name of its own through
// KR_DXNAMES_FUNCTION.
#include "core/dx_result_names.h"

#include <cstdint>

#ifndef KR_DXNAMES_FUNCTION
#define KR_DXNAMES_FUNCTION KRErrorGetDXResultName
#endif

namespace {

// DirectDraw: DD_OK and the DDERR_ names of DirectX 6. The stereo, mode-test,
// overlapping-rectangle, stream and mipmap-sublevel names and the device
// ownership name came later and are absent.
const char* DirectDrawName(uint32_t code) {
  switch (code) {
    case 0x00000000: return "DD_OK";
    case 0x88760005: return "DDERR_ALREADYINITIALIZED";
    case 0x8876000A: return "DDERR_CANNOTATTACHSURFACE";
    case 0x88760014: return "DDERR_CANNOTDETACHSURFACE";
    case 0x88760028: return "DDERR_CURRENTLYNOTAVAIL";
    case 0x88760037: return "DDERR_EXCEPTION";
    case 0x80004005: return "DDERR_GENERIC";
    case 0x8876005A: return "DDERR_HEIGHTALIGN";
    case 0x8876005F: return "DDERR_INCOMPATIBLEPRIMARY";
    case 0x88760064: return "DDERR_INVALIDCAPS";
    case 0x8876006E: return "DDERR_INVALIDCLIPLIST";
    case 0x88760078: return "DDERR_INVALIDMODE";
    case 0x88760082: return "DDERR_INVALIDOBJECT";
    case 0x80070057: return "DDERR_INVALIDPARAMS";
    case 0x88760091: return "DDERR_INVALIDPIXELFORMAT";
    case 0x88760096: return "DDERR_INVALIDRECT";
    case 0x887600A0: return "DDERR_LOCKEDSURFACES";
    case 0x887600AA: return "DDERR_NO3D";
    case 0x887600B4: return "DDERR_NOALPHAHW";
    case 0x887600CD: return "DDERR_NOCLIPLIST";
    case 0x887600D2: return "DDERR_NOCOLORCONVHW";
    case 0x887600D4: return "DDERR_NOCOOPERATIVELEVELSET";
    case 0x887600D7: return "DDERR_NOCOLORKEY";
    case 0x887600DC: return "DDERR_NOCOLORKEYHW";
    case 0x887600DE: return "DDERR_NODIRECTDRAWSUPPORT";
    case 0x887600E1: return "DDERR_NOEXCLUSIVEMODE";
    case 0x887600E6: return "DDERR_NOFLIPHW";
    case 0x887600F0: return "DDERR_NOGDI";
    case 0x887600FA: return "DDERR_NOMIRRORHW";
    case 0x887600FF: return "DDERR_NOTFOUND";
    case 0x88760104: return "DDERR_NOOVERLAYHW";
    case 0x88760118: return "DDERR_NORASTEROPHW";
    case 0x88760122: return "DDERR_NOROTATIONHW";
    case 0x88760136: return "DDERR_NOSTRETCHHW";
    case 0x8876013C: return "DDERR_NOT4BITCOLOR";
    case 0x8876013D: return "DDERR_NOT4BITCOLORINDEX";
    case 0x88760140: return "DDERR_NOT8BITCOLOR";
    case 0x8876014A: return "DDERR_NOTEXTUREHW";
    case 0x8876014F: return "DDERR_NOVSYNCHW";
    case 0x88760154: return "DDERR_NOZBUFFERHW";
    case 0x8876015E: return "DDERR_NOZOVERLAYHW";
    case 0x88760168: return "DDERR_OUTOFCAPS";
    case 0x8007000E: return "DDERR_OUTOFMEMORY";
    case 0x8876017C: return "DDERR_OUTOFVIDEOMEMORY";
    case 0x8876017E: return "DDERR_OVERLAYCANTCLIP";
    case 0x88760180: return "DDERR_OVERLAYCOLORKEYONLYONEACTIVE";
    case 0x88760183: return "DDERR_PALETTEBUSY";
    case 0x88760190: return "DDERR_COLORKEYNOTSET";
    case 0x8876019A: return "DDERR_SURFACEALREADYATTACHED";
    case 0x887601A4: return "DDERR_SURFACEALREADYDEPENDENT";
    case 0x887601AE: return "DDERR_SURFACEBUSY";
    case 0x887601B3: return "DDERR_CANTLOCKSURFACE";
    case 0x887601B8: return "DDERR_SURFACEISOBSCURED";
    case 0x887601C2: return "DDERR_SURFACELOST";
    case 0x887601CC: return "DDERR_SURFACENOTATTACHED";
    case 0x887601D6: return "DDERR_TOOBIGHEIGHT";
    case 0x887601E0: return "DDERR_TOOBIGSIZE";
    case 0x887601EA: return "DDERR_TOOBIGWIDTH";
    case 0x80004001: return "DDERR_UNSUPPORTED";
    case 0x887601FE: return "DDERR_UNSUPPORTEDFORMAT";
    case 0x88760208: return "DDERR_UNSUPPORTEDMASK";
    case 0x88760219: return "DDERR_VERTICALBLANKINPROGRESS";
    case 0x8876021C: return "DDERR_WASSTILLDRAWING";
    case 0x88760230: return "DDERR_XALIGN";
    case 0x88760231: return "DDERR_INVALIDDIRECTDRAWGUID";
    case 0x88760232: return "DDERR_DIRECTDRAWALREADYCREATED";
    case 0x88760233: return "DDERR_NODIRECTDRAWHW";
    case 0x88760234: return "DDERR_PRIMARYSURFACEALREADYEXISTS";
    case 0x88760235: return "DDERR_NOEMULATION";
    case 0x88760236: return "DDERR_REGIONTOOSMALL";
    case 0x88760237: return "DDERR_CLIPPERISUSINGHWND";
    case 0x88760238: return "DDERR_NOCLIPPERATTACHED";
    case 0x88760239: return "DDERR_NOHWND";
    case 0x8876023A: return "DDERR_HWNDSUBCLASSED";
    case 0x8876023B: return "DDERR_HWNDALREADYSET";
    case 0x8876023C: return "DDERR_NOPALETTEATTACHED";
    case 0x8876023D: return "DDERR_NOPALETTEHW";
    case 0x8876023E: return "DDERR_BLTFASTCANTCLIP";
    case 0x8876023F: return "DDERR_NOBLTHW";
    case 0x88760240: return "DDERR_NODDROPSHW";
    case 0x88760241: return "DDERR_OVERLAYNOTVISIBLE";
    case 0x88760242: return "DDERR_NOOVERLAYDEST";
    case 0x88760243: return "DDERR_INVALIDPOSITION";
    case 0x88760244: return "DDERR_NOTAOVERLAYSURFACE";
    case 0x88760245: return "DDERR_EXCLUSIVEMODEALREADYSET";
    case 0x88760246: return "DDERR_NOTFLIPPABLE";
    case 0x88760247: return "DDERR_CANTDUPLICATE";
    case 0x88760248: return "DDERR_NOTLOCKED";
    case 0x88760249: return "DDERR_CANTCREATEDC";
    case 0x8876024A: return "DDERR_NODC";
    case 0x8876024B: return "DDERR_WRONGMODE";
    case 0x8876024C: return "DDERR_IMPLICITLYCREATED";
    case 0x8876024D: return "DDERR_NOTPALETTIZED";
    case 0x8876024E: return "DDERR_UNSUPPORTEDMODE";
    case 0x8876024F: return "DDERR_NOMIPMAPHW";
    case 0x88760250: return "DDERR_INVALIDSURFACETYPE";
    case 0x88760258: return "DDERR_NOOPTIMIZEHW";
    case 0x88760259: return "DDERR_NOTLOADED";
    case 0x8876025A: return "DDERR_NOFOCUSWINDOW";
    case 0x8876026C: return "DDERR_DCALREADYCREATED";
    case 0x88760276: return "DDERR_NONONLOCALVIDMEM";
    case 0x88760280: return "DDERR_CANTPAGELOCK";
    case 0x88760294: return "DDERR_CANTPAGEUNLOCK";
    case 0x887602A8: return "DDERR_NOTPAGELOCKED";
    case 0x887602B2: return "DDERR_MOREDATA";
    case 0x887602B7: return "DDERR_VIDEONOTACTIVE";
    case 0x800401F0: return "DDERR_NOTINITIALIZED";
    default: return nullptr;
  }
}

// Direct3D immediate mode of DirectX 6, without the execute-buffer,
// texture-handle, matrix and viewport-data failures (facility codes 710 to 734)
// of the older interfaces, and without the names of later releases.
const char* Direct3DName(uint32_t code) {
  switch (code) {
    case 0x00000000: return "D3D_OK";
    case 0x887602BC: return "D3DERR_BADMAJORVERSION";
    case 0x887602BD: return "D3DERR_BADMINORVERSION";
    case 0x887602C1: return "D3DERR_INVALID_DEVICE";
    case 0x887602C2: return "D3DERR_INITFAILED";
    case 0x887602C3: return "D3DERR_DEVICEAGGREGATED";
    case 0x887602DF: return "D3DERR_INVALIDCURRENTVIEWPORT";
    case 0x887602E0: return "D3DERR_INVALIDPRIMITIVETYPE";
    case 0x887602E1: return "D3DERR_INVALIDVERTEXTYPE";
    case 0x887602E2: return "D3DERR_TEXTURE_BADSIZE";
    case 0x887602E3: return "D3DERR_INVALIDRAMPTEXTURE";
    case 0x887602E4: return "D3DERR_MATERIAL_CREATE_FAILED";
    case 0x887602E5: return "D3DERR_MATERIAL_DESTROY_FAILED";
    case 0x887602E6: return "D3DERR_MATERIAL_SETDATA_FAILED";
    case 0x887602E7: return "D3DERR_MATERIAL_GETDATA_FAILED";
    case 0x887602E8: return "D3DERR_INVALIDPALETTE";
    case 0x887602E9: return "D3DERR_ZBUFF_NEEDS_SYSTEMMEMORY";
    case 0x887602EA: return "D3DERR_ZBUFF_NEEDS_VIDEOMEMORY";
    case 0x887602EB: return "D3DERR_SURFACENOTINVIDMEM";
    case 0x887602EE: return "D3DERR_LIGHT_SET_FAILED";
    case 0x887602EF: return "D3DERR_LIGHTHASVIEWPORT";
    case 0x887602F0: return "D3DERR_LIGHTNOTINTHISVIEWPORT";
    case 0x887602F8: return "D3DERR_SCENE_IN_SCENE";
    case 0x887602F9: return "D3DERR_SCENE_NOT_IN_SCENE";
    case 0x887602FA: return "D3DERR_SCENE_BEGIN_FAILED";
    case 0x887602FB: return "D3DERR_SCENE_END_FAILED";
    case 0x88760302: return "D3DERR_INBEGIN";
    case 0x88760303: return "D3DERR_NOTINBEGIN";
    case 0x88760304: return "D3DERR_NOVIEWPORTS";
    case 0x88760305: return "D3DERR_VIEWPORTDATANOTSET";
    case 0x88760306: return "D3DERR_VIEWPORTHASNODEVICE";
    case 0x88760307: return "D3DERR_NOCURRENTVIEWPORT";
    case 0x88760800: return "D3DERR_INVALIDVERTEXFORMAT";
    case 0x88760802: return "D3DERR_COLORKEYATTACHED";
    case 0x8876080C: return "D3DERR_VERTEXBUFFEROPTIMIZED";
    case 0x8876080D: return "D3DERR_VBUF_CREATE_FAILED";
    case 0x8876080E: return "D3DERR_VERTEXBUFFERLOCKED";
    case 0x88760816: return "D3DERR_ZBUFFER_NOTPRESENT";
    case 0x88760817: return "D3DERR_STENCILBUFFER_NOTPRESENT";
    case 0x88760818: return "D3DERR_WRONGTEXTUREFORMAT";
    case 0x88760819: return "D3DERR_UNSUPPORTEDCOLOROPERATION";
    case 0x8876081A: return "D3DERR_UNSUPPORTEDCOLORARG";
    case 0x8876081B: return "D3DERR_UNSUPPORTEDALPHAOPERATION";
    case 0x8876081C: return "D3DERR_UNSUPPORTEDALPHAARG";
    case 0x8876081D: return "D3DERR_TOOMANYOPERATIONS";
    case 0x8876081E: return "D3DERR_CONFLICTINGTEXTUREFILTER";
    case 0x8876081F: return "D3DERR_UNSUPPORTEDFACTORVALUE";
    case 0x88760821: return "D3DERR_CONFLICTINGRENDERSTATE";
    case 0x88760822: return "D3DERR_UNSUPPORTEDTEXTUREFILTER";
    case 0x88760823: return "D3DERR_TOOMANYPRIMITIVES";
    case 0x88760824: return "D3DERR_INVALIDMATRIX";
    case 0x88760825: return "D3DERR_TOOMANYVERTICES";
    default: return nullptr;
  }
}

// DirectSound of DirectX 6: the DirectSound 8 names are absent.
const char* DirectSoundName(uint32_t code) {
  switch (code) {
    case 0x00000000: return "DS_OK";
    case 0x8878000A: return "DSERR_ALLOCATED";
    case 0x8878001E: return "DSERR_CONTROLUNAVAIL";
    case 0x80070057: return "DSERR_INVALIDPARAM";
    case 0x88780032: return "DSERR_INVALIDCALL";
    case 0x80004005: return "DSERR_GENERIC";
    case 0x88780046: return "DSERR_PRIOLEVELNEEDED";
    case 0x8007000E: return "DSERR_OUTOFMEMORY";
    case 0x88780064: return "DSERR_BADFORMAT";
    case 0x80004001: return "DSERR_UNSUPPORTED";
    case 0x88780078: return "DSERR_NODRIVER";
    case 0x88780082: return "DSERR_ALREADYINITIALIZED";
    case 0x80040110: return "DSERR_NOAGGREGATION";
    case 0x88780096: return "DSERR_BUFFERLOST";
    case 0x887800A0: return "DSERR_OTHERAPPHASPRIO";
    case 0x887800AA: return "DSERR_UNINITIALIZED";
    case 0x80004002: return "DSERR_NOINTERFACE";
    default: return nullptr;
  }
}

#ifndef KR_DXNAMES_THREE_FAMILIES

// DirectInput. S_FALSE carries four names and E_ACCESSDENIED three; the table
// keeps DI_NOTATTACHED and DIERR_OTHERAPPHASPRIO, and DIERR_NOTFOUND for the
// code it shares with DIERR_OBJECTNOTFOUND.
const char* DirectInputName(uint32_t code) {
  switch (code) {
    case 0x00000000: return "DI_OK";
    case 0x00000001: return "DI_NOTATTACHED";
    case 0x00000002: return "DI_POLLEDDEVICE";
    case 0x00000003: return "DI_DOWNLOADSKIPPED";
    case 0x00000004: return "DI_EFFECTRESTARTED";
    case 0x00000008: return "DI_TRUNCATED";
    case 0x0000000C: return "DI_TRUNCATEDANDRESTARTED";
    case 0x8007047E: return "DIERR_OLDDIRECTINPUTVERSION";
    case 0x80070481: return "DIERR_BETADIRECTINPUTVERSION";
    case 0x80070077: return "DIERR_BADDRIVERVER";
    case 0x80040154: return "DIERR_DEVICENOTREG";
    case 0x80070002: return "DIERR_NOTFOUND";
    case 0x80070057: return "DIERR_INVALIDPARAM";
    case 0x80004002: return "DIERR_NOINTERFACE";
    case 0x80004005: return "DIERR_GENERIC";
    case 0x8007000E: return "DIERR_OUTOFMEMORY";
    case 0x80004001: return "DIERR_UNSUPPORTED";
    case 0x80070015: return "DIERR_NOTINITIALIZED";
    case 0x800704DF: return "DIERR_ALREADYINITIALIZED";
    case 0x80040110: return "DIERR_NOAGGREGATION";
    case 0x80070005: return "DIERR_OTHERAPPHASPRIO";
    case 0x8007001E: return "DIERR_INPUTLOST";
    case 0x800700AA: return "DIERR_ACQUIRED";
    case 0x8007000C: return "DIERR_NOTACQUIRED";
    case 0x8000000A: return "E_PENDING";
    case 0x80040200: return "DIERR_INSUFFICIENTPRIVS";
    case 0x80040201: return "DIERR_DEVICEFULL";
    case 0x80040202: return "DIERR_MOREDATA";
    case 0x80040203: return "DIERR_NOTDOWNLOADED";
    case 0x80040204: return "DIERR_HASEFFECTS";
    case 0x80040205: return "DIERR_NOTEXCLUSIVEACQUIRED";
    case 0x80040206: return "DIERR_INCOMPLETEEFFECT";
    case 0x80040207: return "DIERR_NOTBUFFERED";
    case 0x80040208: return "DIERR_EFFECTPLAYING";
    default: return nullptr;
  }
}

// DirectPlay. DPERR_NOMEMORY and DPERR_INVALIDPARAM stand for their aliases;
// the asynchronous-send names (codes 360 to 420 of the facility) are absent.
const char* DirectPlayName(uint32_t code) {
  switch (code) {
    case 0x00000000: return "DP_OK";
    case 0x88770005: return "DPERR_ALREADYINITIALIZED";
    case 0x8877000A: return "DPERR_ACCESSDENIED";
    case 0x88770014: return "DPERR_ACTIVEPLAYERS";
    case 0x8877001E: return "DPERR_BUFFERTOOSMALL";
    case 0x88770028: return "DPERR_CANTADDPLAYER";
    case 0x88770032: return "DPERR_CANTCREATEGROUP";
    case 0x8877003C: return "DPERR_CANTCREATEPLAYER";
    case 0x88770046: return "DPERR_CANTCREATESESSION";
    case 0x88770050: return "DPERR_CAPSNOTAVAILABLEYET";
    case 0x8877005A: return "DPERR_EXCEPTION";
    case 0x80004005: return "DPERR_GENERIC";
    case 0x88770078: return "DPERR_INVALIDFLAGS";
    case 0x88770082: return "DPERR_INVALIDOBJECT";
    case 0x80070057: return "DPERR_INVALIDPARAM";
    case 0x88770096: return "DPERR_INVALIDPLAYER";
    case 0x8877009B: return "DPERR_INVALIDGROUP";
    case 0x887700A0: return "DPERR_NOCAPS";
    case 0x887700AA: return "DPERR_NOCONNECTION";
    case 0x8007000E: return "DPERR_NOMEMORY";
    case 0x887700BE: return "DPERR_NOMESSAGES";
    case 0x887700C8: return "DPERR_NONAMESERVERFOUND";
    case 0x887700D2: return "DPERR_NOPLAYERS";
    case 0x887700DC: return "DPERR_NOSESSIONS";
    case 0x8000000A: return "DPERR_PENDING";
    case 0x887700E6: return "DPERR_SENDTOOBIG";
    case 0x887700F0: return "DPERR_TIMEOUT";
    case 0x887700FA: return "DPERR_UNAVAILABLE";
    case 0x80004001: return "DPERR_UNSUPPORTED";
    case 0x8877010E: return "DPERR_BUSY";
    case 0x88770118: return "DPERR_USERCANCEL";
    case 0x80004002: return "DPERR_NOINTERFACE";
    case 0x88770122: return "DPERR_CANNOTCREATESERVER";
    case 0x8877012C: return "DPERR_PLAYERLOST";
    case 0x88770136: return "DPERR_SESSIONLOST";
    case 0x88770140: return "DPERR_UNINITIALIZED";
    case 0x8877014A: return "DPERR_NONEWPLAYERS";
    case 0x88770154: return "DPERR_INVALIDPASSWORD";
    case 0x8877015E: return "DPERR_CONNECTING";
    case 0x887703E8: return "DPERR_BUFFERTOOLARGE";
    case 0x887703F2: return "DPERR_CANTCREATEPROCESS";
    case 0x887703FC: return "DPERR_APPNOTSTARTED";
    case 0x88770406: return "DPERR_INVALIDINTERFACE";
    case 0x88770410: return "DPERR_NOSERVICEPROVIDER";
    case 0x8877041A: return "DPERR_UNKNOWNAPPLICATION";
    case 0x8877042E: return "DPERR_NOTLOBBIED";
    case 0x88770438: return "DPERR_SERVICEPROVIDERLOADED";
    case 0x88770442: return "DPERR_ALREADYREGISTERED";
    case 0x8877044C: return "DPERR_NOTREGISTERED";
    case 0x887707D0: return "DPERR_AUTHENTICATIONFAILED";
    case 0x887707DA: return "DPERR_CANTLOADSSPI";
    case 0x887707E4: return "DPERR_ENCRYPTIONFAILED";
    case 0x887707EE: return "DPERR_SIGNFAILED";
    case 0x887707F8: return "DPERR_CANTLOADSECURITYPACKAGE";
    case 0x88770802: return "DPERR_ENCRYPTIONNOTSUPPORTED";
    case 0x8877080C: return "DPERR_CANTLOADCAPI";
    case 0x88770816: return "DPERR_NOTLOGGEDIN";
    case 0x88770820: return "DPERR_LOGONDENIED";
    default: return nullptr;
  }
}

// DirectMusic as the pre-release runtime defines it: the port, download,
// performance, loader and first segment codes. The synthesizer-sink and later
// codes of the released runtime are absent.
const char* DirectMusicName(uint32_t code) {
  switch (code) {
    case 0x00000000: return "DMUS_OK";
    case 0x08781091: return "DMUS_S_PARTIALLOAD";
    case 0x08781200: return "DMUS_S_REQUEUE";
    case 0x08781201: return "DMUS_S_FREE";
    case 0x08781202: return "DMUS_S_END";
    case 0x08781210: return "DMUS_S_STRING_TRUNCATED";
    case 0x88781101: return "DMUS_E_DRIVER_FAILED";
    case 0x88781102: return "DMUS_E_PORTS_OPEN";
    case 0x88781103: return "DMUS_E_DEVICE_IN_USE";
    case 0x88781104: return "DMUS_E_INSUFFICIENTBUFFER";
    case 0x88781105: return "DMUS_E_BUFFERNOTSET";
    case 0x88781106: return "DMUS_E_BUFFERNOTAVAILABLE";
    case 0x88781108: return "DMUS_E_NOTADLSCOL";
    case 0x88781109: return "DMUS_E_INVALIDOFFSET";
    case 0x88781111: return "DMUS_E_ALREADY_LOADED";
    case 0x88781113: return "DMUS_E_INVALIDPOS";
    case 0x88781114: return "DMUS_E_INVALIDPATCH";
    case 0x88781115: return "DMUS_E_CANNOTSEEK";
    case 0x88781116: return "DMUS_E_CANNOTWRITE";
    case 0x88781117: return "DMUS_E_CHUNKNOTFOUND";
    case 0x88781119: return "DMUS_E_INVALID_DOWNLOADID";
    case 0x88781120: return "DMUS_E_NOT_DOWNLOADED_TO_PORT";
    case 0x88781121: return "DMUS_E_ALREADY_DOWNLOADED";
    case 0x88781122: return "DMUS_E_UNKNOWN_PROPERTY";
    case 0x88781123: return "DMUS_E_SET_UNSUPPORTED";
    case 0x88781124: return "DMUS_E_GET_UNSUPPORTED";
    case 0x88781125: return "DMUS_E_NOTMONO";
    case 0x88781126: return "DMUS_E_BADARTICULATION";
    case 0x88781127: return "DMUS_E_BADINSTRUMENT";
    case 0x88781128: return "DMUS_E_BADWAVELINK";
    case 0x88781129: return "DMUS_E_NOARTICULATION";
    case 0x8878112A: return "DMUS_E_NOTPCM";
    case 0x8878112B: return "DMUS_E_BADWAVE";
    case 0x8878112C: return "DMUS_E_BADOFFSETTABLE";
    case 0x8878112D: return "DMUS_E_UNKNOWNDOWNLOAD";
    case 0x88781150: return "DMUS_E_UNSUPPORTED_STREAM";
    case 0x88781151: return "DMUS_E_ALREADY_INITED";
    case 0x88781152: return "DMUS_E_INVALID_BAND";
    case 0x88781155: return "DMUS_E_TRACK_HDR_NOT_FIRST_CK";
    case 0x88781156: return "DMUS_E_TOOL_HDR_NOT_FIRST_CK";
    case 0x88781157: return "DMUS_E_INVALID_TRACK_HDR";
    case 0x88781158: return "DMUS_E_INVALID_TOOL_HDR";
    case 0x88781159: return "DMUS_E_ALL_TOOLS_FAILED";
    case 0x88781160: return "DMUS_E_ALL_TRACKS_FAILED";
    case 0x88781161: return "DMUS_E_NOT_FOUND";
    case 0x88781162: return "DMUS_E_NOT_INIT";
    case 0x88781163: return "DMUS_E_TYPE_DISABLED";
    case 0x88781164: return "DMUS_E_TYPE_UNSUPPORTED";
    case 0x88781165: return "DMUS_E_TIME_PAST";
    case 0x88781166: return "DMUS_E_TRACK_NOT_FOUND";
    case 0x88781170: return "DMUS_E_NO_MASTER_CLOCK";
    case 0x88781180: return "DMUS_E_LOADER_NOCLASSID";
    case 0x88781181: return "DMUS_E_LOADER_BADPATH";
    case 0x88781182: return "DMUS_E_LOADER_FAILEDOPEN";
    case 0x88781183: return "DMUS_E_LOADER_FORMATNOTSUPPORTED";
    case 0x88781184: return "DMUS_E_LOADER_FAILEDCREATE";
    case 0x88781185: return "DMUS_E_LOADER_OBJECTNOTFOUND";
    case 0x88781186: return "DMUS_E_LOADER_NOFILENAME";
    case 0x88781200: return "DMUS_E_INVALIDFILE";
    case 0x88781201: return "DMUS_E_ALREADY_EXISTS";
    case 0x88781202: return "DMUS_E_OUT_OF_RANGE";
    case 0x80070057: return "E_INVALIDARG";
    case 0x80004003: return "E_POINTER";
    default: return nullptr;
  }
}

#else  // KR_DXNAMES_THREE_FAMILIES: these families are not carried at all.

const char* DirectInputName(uint32_t) { return nullptr; }
const char* DirectPlayName(uint32_t) { return nullptr; }
const char* DirectMusicName(uint32_t) { return nullptr; }

#endif

using FamilyTable = const char* (*)(uint32_t code);

// Family numbers 1 to 6, in the order a lookup without a family searches them:
// the families share the general COM codes, so this order decides their names.
const FamilyTable kFamilyTables[] = {
    DirectDrawName,   // 1
    Direct3DName,     // 2
    DirectInputName,  // 3
    DirectSoundName,  // 4
    DirectPlayName,   // 5
    DirectMusicName,  // 6
};
constexpr int kFamilyCount = sizeof(kFamilyTables) / sizeof(kFamilyTables[0]);

}  // namespace

const char* KR_DXNAMES_FUNCTION(long result, int family) {
  // HRESULTs arrive sign-extended where long is 64-bit; the code is the low 32 bits.
  const uint32_t code = static_cast<uint32_t>(result);

  if (family == 0 && code == 0) return "DX_OK";

  if (family >= 1 && family <= kFamilyCount) {
    if (const char* name = kFamilyTables[family - 1](code)) return name;
  }
  for (FamilyTable table : kFamilyTables) {
    if (const char* name = table(code)) return name;
  }
  return "DXERR_UNDEFINED";
}
