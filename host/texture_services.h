/* The host's layered textures, their editor, animation envelopes, channels
 * and variant parameters: service tables as the module sees them. */
#ifndef VX_HOST_TEXTURE_SERVICES_H
#define VX_HOST_TEXTURE_SERVICES_H

#include "host/services.h"

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_GLOBAL_TEXTURE_EDITOR "Texture Editor 2"
#define HOST_GLOBAL_CHANNEL_INFO "Channel Info 2"

typedef struct HostTexture HostTexture;
typedef struct HostTextureLayer HostTextureLayer;
typedef struct HostTextureContext HostTextureContext;
typedef struct HostChanGroup HostChanGroup;
typedef struct HostChannel HostChannel;
typedef struct HostEnvelope HostEnvelope;
typedef struct HostVParm HostVParm;
typedef struct HostTextureEditorID HostTextureEditorID;

/* Texture return types. */
enum { HOST_TEXTURE_BUMP = 0, HOST_TEXTURE_COLOR = 1, HOST_TEXTURE_VALUE = 2 };

/* Layer parameter tags of getLayerParam / setLayerParam. */
enum { HOST_TAG_IMAGE = 9 /* HostID */ };

/* A custom gradient input as a texture context offers it. */
typedef struct HostGradientInput {
    const char *name;
    double rangeMin, rangeMax;
    int type;
    int flags;
    int itemType; /* HOST_OBJECT, HOST_LIGHT, ...; -1 none, 4 a weight map */
} HostGradientInput;

/* What a gradient layer chose for its input: an item (0 none) or a map. */
typedef struct HostGradientChoice {
    HostID item;
    const char *weightMap;
} HostGradientChoice;

/* The context's callbacks: a per-evaluation record made at every new time
 * of a texture, the measure of input `index` (1 based), and the record's end. */
typedef void *(*HostTextureTimeFunc)(void *userData, HostTexture *texture, double time, int frame);
typedef double (*HostTextureEvalFunc)(const HostGradientChoice *choice, int index,
                                      const HostTextureSample *sample, void *timeRecord);
typedef void (*HostTextureCleanupFunc)(void *timeRecord);

/* "Texture Functions 3". evaluate blends the layers over value[] in place
 * and returns the alpha of what it laid over it. */
typedef struct HostTextureFuncs {
    HostTextureContext *(*contextCreate)(void *userData, HostTextureTimeFunc time, HostTextureEvalFunc eval,
                                         HostTextureCleanupFunc cleanup);
    void (*contextAddParam)(HostTextureContext *context, const HostGradientInput *input);
    HostTexture *(*create)(int returnType, const char *name, HostTextureContext *context, void *userData);
    void (*destroy)(HostTexture *texture);
    void (*copy)(HostTexture *to, const HostTexture *from);
    void (*newTime)(HostTexture *texture, double time, int frame);
    void (*cleanup)(HostTexture *texture);
    void (*load)(HostTexture *texture, const HostLoadState *state);
    void (*save)(const HostTexture *texture, const HostSaveState *state);
    double (*evaluate)(const HostTexture *texture, HostTextureSample *sample, double value[3]);
    void (*setEnvGroup)(HostTexture *texture, HostChanGroup *group);
    HostTextureLayer *(*firstLayer)(const HostTexture *texture);
    HostTextureLayer *(*nextLayer)(const HostTexture *texture, const HostTextureLayer *layer);
    HostChanGroup *(*layerEnvGroup)(const HostTextureLayer *layer);
    int (*getLayerParam)(const HostTextureLayer *layer, int tag, void *data);
    int (*setLayerParam)(HostTextureLayer *layer, int tag, const void *data);
} HostTextureFuncs;

/* "Texture Editor 2". The auto-size callback gives the box a texture's
 * projections fit by default. */
typedef void (*HostTextureAutoSizeFunc)(void *userData, double min[3], double max[3]);
typedef struct HostTextureEditor {
    HostTextureEditorID *(*subscribe)(const char *title, int flags, void *userData, HostTextureAutoSizeFunc autoSize);
    void (*unsubscribe)(HostTextureEditorID *editor);
    void (*open)(HostTextureEditorID *editor, HostTexture *texture, const char *title);
    void (*close)(HostTextureEditorID *editor);
    int (*isOpen)(HostTextureEditorID *editor);
} HostTextureEditor;

/* "Animation Envelopes": groups of channels; an envelope's own data. */
typedef struct HostEnvelopes {
    HostChanGroup *(*createGroup)(HostChanGroup *parent, const char *name);
    void (*destroyGroup)(HostChanGroup *group);
    void (*save)(const HostEnvelope *envelope, const HostSaveState *state);
    void (*load)(HostEnvelope *envelope, const HostLoadState *state);
} HostEnvelopes;

/* "Channel Info 2". */
typedef struct HostChannelInfo {
    HostChannel *(*nextChannel)(const HostChanGroup *group, const HostChannel *previous); /* null: first */
    HostEnvelope *(*channelEnvelope)(const HostChannel *channel);
} HostChannelInfo;

/* Variant parameter types and state bits. */
enum { HOST_VP_VALUE = 0x20, HOST_VP_COLOR = 0x51 };
enum { HOST_VPS_ENVELOPED = 1, HOST_VPS_TEXTURED = 2 };

/* "LWVParmFuncs 2": an animated value or colour, with up to three envelopes
 * (one per element) and possibly a texture. */
typedef struct HostVParmFuncs {
    HostVParm *(*create)(int type, HostTextureContext *context);
    void (*destroy)(HostVParm *parm);
    void (*setup)(HostVParm *parm, const char *name, HostChanGroup *group);
    void (*copy)(HostVParm *to, const HostVParm *from);
    void (*save)(const HostVParm *parm, const HostSaveState *state);
    void (*load)(HostVParm *parm, const HostLoadState *state);
    void (*getValue)(const HostVParm *parm, double time, int frame, double out[3]);
    void (*setValue)(HostVParm *parm, const double in[3]);
    int (*getState)(const HostVParm *parm);
    void (*setState)(HostVParm *parm, int state);
    void (*editEnvelopes)(HostVParm *parm);
    void (*getEnvelopes)(const HostVParm *parm, HostEnvelope *out[3]);
    HostTexture *(*getTexture)(const HostVParm *parm);
} HostVParmFuncs;

#ifdef __cplusplus
}
#endif

#endif
