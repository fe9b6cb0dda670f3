/* The host's service tables: plain C records of function pointers, handed out
 * by name through the global-lookup function. The module reaches the host only
 * through these; the host fills them in. */
#ifndef VX_HOST_SERVICES_H
#define VX_HOST_SERVICES_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t HostID; /* items, images, polygons, points; 0 = none */

typedef void *(*HostGlobalFunc)(const char *serviceName, int useMode);

/* Marks an entry added to a table after its first version. An older host
 * leaves it null, so callers must check it; C++ initializers that leave it
 * out make it null too. */
#ifdef __cplusplus
#define HOST_LATER_ENTRY = nullptr
#else
#define HOST_LATER_ENTRY
#endif

#define HOST_GLOBAL_ITEM_INFO "LW Item Info 3"
#define HOST_GLOBAL_LIGHT_INFO "LW Light Info 3"
#define HOST_GLOBAL_OBJECT_INFO "LW Object Info 4"
#define HOST_GLOBAL_SCENE_INFO "LW Scene Info 3"
#define HOST_GLOBAL_RENDER_MEMORY "Global Render Memory"
#define HOST_GLOBAL_TEXTURE_FUNCS "Texture Functions 3"
#define HOST_GLOBAL_ENVELOPES "Animation Envelopes"
#define HOST_GLOBAL_VPARM_FUNCS "LWVParmFuncs 2"
#define HOST_GLOBAL_IMAGE_LIST "LW Image List 3"
#define HOST_GLOBAL_BACKDROP_INFO "LW Backdrop Info 2"
#define HOST_GLOBAL_INTERFACE_INFO "LW Interface Info 3"
#define HOST_GLOBAL_FILE_IO "File IO"
#define HOST_GLOBAL_IMAGE_UTILITY "Image Utility"
#define HOST_GLOBAL_SCENE_OBJECTS "Scene Objects 4"
#define HOST_GLOBAL_SURFACE_FUNCS "Surface Functions 2"

/* ---- Block-structured streams ------------------------------------------ */

/* A block identifier with the token the text form writes for it. */
typedef struct HostBlockId {
    uint32_t id;
    const char *token;
} HostBlockId;

#define HOST_ID4(a, b, c, d) \
    (((uint32_t)(a) << 24) | ((uint32_t)(b) << 16) | ((uint32_t)(c) << 8) | (uint32_t)(d))

enum { HOST_IO_BINARY = 0, HOST_IO_TEXT = 1 };

typedef struct HostSaveState {
    int ioMode;
    void *data;
    void (*writeI2)(void *data, const int16_t *v, int n);
    void (*writeI4)(void *data, const int32_t *v, int n);
    void (*writeU4)(void *data, const uint32_t *v, int n);
    void (*writeFP)(void *data, const float *v, int n);
    void (*writeStr)(void *data, const char *s);
    void (*writeRaw)(void *data, const void *bytes, int n);
    void (*beginBlk)(void *data, const HostBlockId *id);
    void (*endBlk)(void *data);
    int (*depth)(void *data);
} HostSaveState;

/* Reads return how many elements (bytes for raw, characters for strings)
 * they delivered; a read past the end of the current block delivers none and
 * is remembered as an error. findBlk takes a table ended by an id of 0. */
typedef struct HostLoadState {
    int ioMode;
    void *data;
    int (*readI2)(void *data, int16_t *v, int n);
    int (*readI4)(void *data, int32_t *v, int n);
    int (*readU4)(void *data, uint32_t *v, int n);
    int (*readFP)(void *data, float *v, int n);
    int (*readStr)(void *data, char *buf, int max); /* -1 when nothing was read */
    int (*readRaw)(void *data, void *bytes, int n);
    uint32_t (*findBlk)(void *data, const HostBlockId *table);
    void (*endBlk)(void *data);
    int (*depth)(void *data);
} HostLoadState;

/* "File IO": tree files. Save mode 0 writes the binary form, 1 the text form;
 * the load side detects the form by itself. closeSave gives 1 when the file
 * was written whole, 0 when it was not (nothing saved into the state, or a
 * write that failed), in which case the old file is left as it was. */
typedef struct HostFileIO {
    HostSaveState *(*openSave)(const char *path, int mode);
    int (*closeSave)(HostSaveState *state);
    HostLoadState *(*openLoad)(const char *path, int mode);
    void (*closeLoad)(HostLoadState *state);
} HostFileIO;

/* ---- Render memory ------------------------------------------------------- */

/* "Global Render Memory": named blocks, safe to call from render threads. */
typedef struct HostRenderMemory {
    void *(*find)(const char *name);
    void *(*create)(const char *name, size_t size);
} HostRenderMemory;

/* ---- Scene ---------------------------------------------------------------- */

enum { HOST_OBJECT = 0, HOST_LIGHT = 1, HOST_CAMERA = 2, HOST_BONE = 3 };

/* Item parameter codes of HostItemInfo.param. */
enum {
    HOST_IP_POSITION = 1, HOST_IP_RIGHT, HOST_IP_UP, HOST_IP_FORWARD, HOST_IP_ROTATION,
    HOST_IP_SCALING, HOST_IP_PIVOT, HOST_IP_W_POSITION, HOST_IP_W_RIGHT, HOST_IP_W_UP,
    HOST_IP_W_FORWARD, HOST_IP_PIVOT_ROT
};

/* first(type, parent) is the first item of the type; for HOST_BONE it is the
 * first bone of the object `parent`, and next() of a bone stays within that
 * object's bones. next() is the following item of the same type, 0 at the end. */
typedef struct HostItemInfo {
    HostID (*first)(int type, HostID parent);
    HostID (*next)(HostID item);
    HostID (*firstChild)(HostID parent);
    int (*type)(HostID item);
    const char *(*name)(HostID item);
    void (*param)(HostID item, int code, double time, double out[3]);
} HostItemInfo;

/* Light types of HostLightInfo.type and falloff types of .falloff. */
enum { HOST_LIGHT_DISTANT = 0, HOST_LIGHT_POINT = 1, HOST_LIGHT_SPOT = 2 };
enum { HOST_FALLOFF_NONE = 0, HOST_FALLOFF_LINEAR = 1, HOST_FALLOFF_INVERSE = 2, HOST_FALLOFF_INVERSE_SQUARE = 3 };
/* HostLightInfo.flags bits */
enum { HOST_LIGHT_NO_DIFFUSE = 2, HOST_LIGHT_NO_SPECULAR = 4 };

typedef struct HostLightInfo {
    int (*type)(HostID light);
    HostID (*image)(HostID light, double time);
    void (*color)(HostID light, double time, double out[3]) HOST_LATER_ENTRY; /* colour x intensity */
    int (*falloff)(HostID light) HOST_LATER_ENTRY;
    double (*range)(HostID light, double time) HOST_LATER_ENTRY; /* where the falloff ends or halves */
    void (*ambient)(double time, double out[3]) HOST_LATER_ENTRY; /* the scene's, colour x intensity */
    int (*flags)(HostID light) HOST_LATER_ENTRY;                  /* HOST_LIGHT_NO_* bits */
    int (*shadowType)(HostID light) HOST_LATER_ENTRY;             /* 0 = casts no shadow */
    void (*shadowColor)(HostID light, double time, double out[3]) HOST_LATER_ENTRY;
    /* A spot light's cone half angle and the soft edge inside it, radians. */
    void (*coneAngles)(HostID light, double time, double *radius, double *edge) HOST_LATER_ENTRY;
} HostLightInfo;

/* Vertex-map types as HostMeshInfo.pntVLookup takes them. */
#define HOST_VMAP_TXUV HOST_ID4('T', 'X', 'U', 'V')
#define HOST_VMAP_RGB HOST_ID4('R', 'G', 'B', ' ')
#define HOST_VMAP_RGBA HOST_ID4('R', 'G', 'B', 'A')
#define HOST_VMAP_WGHT HOST_ID4('W', 'G', 'H', 'T')

/* One object's mesh, asked for per sample on a render thread and released by
 * the asker; never shared between threads. Points and polygons are HostIDs; an
 * id the mesh does not hold (0 included) has no value, no vertices and base
 * position (0, 0, 0). Value reads use the map selected last. */
typedef struct HostMeshInfo {
    void *priv;
    void (*destroy)(struct HostMeshInfo *mesh);                 /* releases the record; may be null */
    int (*polSize)(void *priv, HostID polygon);                 /* vertex count */
    HostID (*polVertex)(void *priv, HostID polygon, int index); /* point of a vertex, 0 out of range */
    void (*pntBasePos)(void *priv, HostID point, float pos[3]); /* undeformed position */
    void *(*pntVLookup)(void *priv, uint32_t type, const char *name); /* map handle, null if none */
    void (*pntVSelect)(void *priv, void *vmap);                 /* the map the reads below use */
    int (*pntVDim)(void *priv, void *vmap);                     /* floats per value */
    int (*pntVGet)(void *priv, HostID point, float *out);       /* point value; nonzero if set */
    int (*pntVPGet)(void *priv, HostID point, HostID polygon, float *out); /* per-polygon; nonzero if set */
} HostMeshInfo;

typedef struct HostObjectInfo {
    const char *(*filename)(HostID object);
    int (*numPoints)(HostID object);
    int (*numPolygons)(HostID object);
    HostMeshInfo *(*meshInfo)(HostID object, int frozen); /* null if none; frozen 1 = as rendered */
    /* Nonzero when the object does not receive the light; the radiosity and
     * caustics pseudo-lights (0x21000000, 0x22000000) are asked too. */
    int (*excluded)(HostID object, HostID light) HOST_LATER_ENTRY;
} HostObjectInfo;

/* HostSceneInfo.renderOpts bits */
#define HOST_RENDER_SHADOWS 0x1
#define HOST_RENDER_REFLECT 0x2
#define HOST_RENDER_REFRACT 0x4

typedef struct HostSceneInfo {
    const char *name;
    int frameStart, frameEnd;
    int frameWidth, frameHeight;
    double framesPerSecond;
    int renderOpts;
} HostSceneInfo;

/* "LW Image List 3". save writes an image's own data; load reads it back
 * (the module resolves the id by name afterwards). */
typedef struct HostImageList {
    HostID (*first)(void);
    HostID (*next)(HostID image);
    const char *(*name)(HostID image);
    HostID (*findByName)(const char *name);
    void (*prepare)(HostID image);
    void (*save)(HostID image, const HostSaveState *state);
    void (*load)(const HostLoadState *state);
    /* Width and height in pixels; 0 x 0 for an id that is not an image. */
    void (*size)(HostID image, int *width, int *height) HOST_LATER_ENTRY;
    /* Lookups at (u, v), both wrapping over [0, 1): with blending off the
     * nearest pixel, with it on a filtered value over a square of side
     * spotSize (in the unit of u and v). An unknown id gives 0. */
    void (*spotColor)(HostID image, double u, double v, double spotSize, int blend, double rgb[3]) HOST_LATER_ENTRY;
    double (*spotLuma)(HostID image, double u, double v, double spotSize, int blend) HOST_LATER_ENTRY;
    int (*hasAlpha)(HostID image) HOST_LATER_ENTRY;
    double (*spotAlpha)(HostID image, double u, double v, double spotSize, int blend) HOST_LATER_ENTRY;
} HostImageList;

/* "LW Backdrop Info 2": the colour a ray that hits nothing sees. */
typedef struct HostBackdropInfo {
    void (*backdrop)(double time, const double ray[3], double color[3]);
} HostBackdropInfo;

/* "Surface Functions 2": surface options by name. */
typedef struct HostSurfaceFuncs {
    const char *(*name)(void *surface);
    int (*getInt)(void *surface, const char *option);
    HostID (*getImage)(void *surface, const char *option);
    /* A surface channel ("BaseColor", "Diffuse", "Glossiness", ...) as the
     * surface sets it: a colour fills out, a scalar all three elements. Zero,
     * out untouched, for a channel the surface does not have. */
    int (*getChannel)(void *surface, const char *channel, double out[3]) HOST_LATER_ENTRY;
    /* The surface's channel group (a HostChanGroup of "Animation Envelopes"). */
    void *(*chanGroup)(void *surface) HOST_LATER_ENTRY;
    /* The texture (a HostTexture of "Texture Functions 3") layered over a
     * channel of the surface; null when the channel has none. */
    void *(*channelTexture)(void *surface, const char *channel) HOST_LATER_ENTRY;
} HostSurfaceFuncs;

/* "LW Interface Info 3": the state of the host's interface. */
typedef struct HostInterfaceInfo {
    double (*currentTime)(void); /* the time the interface shows, in seconds */
} HostInterfaceInfo;

/* ---- The shading record ---------------------------------------------------- */

struct HostShading;

/* Per-sample callbacks; `ctx` is the record's callbackData. */
typedef int (*HostIlluminateFunc)(void *ctx, HostID light, const double pos[3], double dir[3],
                                  double color[3]);
typedef double (*HostRayTraceFunc)(void *ctx, const double pos[3], const double dir[3],
                                   double color[3]);
typedef double (*HostRayCastFunc)(void *ctx, const double pos[3], const double dir[3]);
typedef double (*HostRayShadeFunc)(void *ctx, const double pos[3], const double dir[3],
                                   struct HostShading *hit);

typedef struct HostShading {
    /* geometry, read-only for the shader */
    int sx, sy;
    double oPos[3], wPos[3], gNorm[3];
    double spotSize;
    double raySource[3];
    double rayLength;
    double cosine;
    double oXfrm[9], wXfrm[9];
    HostID objID;
    HostID polygon;
    HostID verts[4];
    float weights[4];
    float vertsWPos[4][3];
    /* normals: the shader may replace wNorm and bumpHeight */
    double wNorm[3];
    double wNorm0[3];
    double bumpHeight;
    /* surface channels, as the host left them and as the shader writes them */
    double color[3];
    double luminous, diffuse, specular, mirror, transparency, eta, roughness;
    double translucency, colorHL, colorFL, addTransp, diffSharpness;
    double reflectionBlur, refractionBlur;
    double replacementPercentage;
    double replacementColor[3];
    /* callbacks */
    void *callbackData;
    HostIlluminateFunc illuminate;
    HostRayTraceFunc rayTrace;
    HostRayCastFunc rayCast;
    HostRayShadeFunc rayShade;
} HostShading;

/* The record the host's texture evaluation takes, filled per sample. */
typedef struct HostTextureSample {
    double oPos[3], wPos[3];
    double oScl[3];
    double gNorm[3], wNorm[3];
    double rayDir[3];
    double bumpHeight;
    double txVal;
    double spotSize;
    double raySource[3];
    double rayLength;
    double cosine;
    double oXfrm[9], wXfrm[9];
    HostID objID;
    int32_t owner;
    HostID verts[4];
    float weights[4];
    float vertsWPos[4][3];
    HostID polygon;
    int axis;
    double tangent[3][3];
    void *callbackData;
    HostIlluminateFunc illuminate;
    HostRayCastFunc rayCast;
} HostTextureSample;

#ifdef __cplusplus
}
#endif

#endif
