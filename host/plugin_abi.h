/* What passes between the host and a plug-in module: the module descriptor,
 * server activation and the shader handler's callback records. */
#ifndef VX_HOST_PLUGIN_ABI_H
#define VX_HOST_PLUGIN_ABI_H

#include "host/services.h"

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_MODULE_MAGIC 0x04121994u
#define HOST_SYSTEM_VERSION 3u
#define HOST_MACHINE_CODE 0x300u
#define HOST_SERVER_VERSION 4

enum { HOST_AFUNC_OK = 0, HOST_AFUNC_BADVERSION = 1 };

typedef int (*HostActivateFunc)(int version, HostGlobalFunc global, void *local, void *serverData);

typedef struct HostServerRecord {
    const char *className;
    const char *name;
    HostActivateFunc activate;
    const char **userNames;
} HostServerRecord;

typedef struct HostModuleDescriptor {
    uint32_t sysSync;
    uint32_t sysVersion;
    uint32_t sysMachine;
    void *(*startup)(void);
    void (*shutdown)(void *serverData);
    const HostServerRecord *serverDefs;
} HostModuleDescriptor;

/* Instance callbacks. Errors are texts; null means none. */
typedef void *HostInstance;
typedef struct HostInstanceFuncs {
    void *priv;
    HostInstance (*create)(void *priv, void *context, const char **error);
    void (*destroy)(HostInstance inst);
    const char *(*copy)(HostInstance to, HostInstance from);
    const char *(*load)(HostInstance inst, const HostLoadState *state);
    const char *(*save)(HostInstance inst, const HostSaveState *state);
    const char *(*descln)(HostInstance inst);
} HostInstanceFuncs;

typedef struct HostItemFuncs {
    const HostID *(*useItems)(HostInstance inst);
    void (*changeID)(HostInstance inst, const HostID *pairs);
} HostItemFuncs;

typedef struct HostRenderFuncs {
    const char *(*init)(HostInstance inst, int mode);
    void (*cleanup)(HostInstance inst);
    const char *(*newTime)(HostInstance inst, int frame, double time);
} HostRenderFuncs;

/* The local record of a "ShaderHandler" activation. The host leaves `item`
 * null when it has no item callbacks to offer. */
typedef struct HostShaderHandler {
    HostInstanceFuncs *inst;
    HostItemFuncs *item;
    HostRenderFuncs *rend;
    void (*evaluate)(HostInstance inst, HostShading *sa);
    uint32_t (*flags)(HostInstance inst);
} HostShaderHandler;

/* The local record of a "ShaderInterface" activation. */
typedef struct HostShaderInterface {
    void *panel;
    void *options; /* unused: no panel */
    const char *(*command)(HostInstance inst, const char *cmd);
    int (*optionsFunc)(HostInstance inst); /* opens the editor; 0 on success */
} HostShaderInterface;

#ifdef __cplusplus
}
#endif

#endif
