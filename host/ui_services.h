/* The host's interface services: panels with controls and event handlers,
 * off-screen rasters, pop-up menus, messages, the preset shelf, the file
 * requester, thumbnail images and scene lists. Plain C records, handed out by
 * name through the global-lookup function like the tables of services.h.
 *
 * Coordinates are pixels with (0, 0) at the top-left, y growing downwards.
 * Panel coordinates are relative to the panel's drawing area; raster
 * coordinates to the raster. Every colour passed to a drawing call is packed
 * by HOST_RGB. */
#ifndef VX_HOST_UI_SERVICES_H
#define VX_HOST_UI_SERVICES_H

#include "host/services.h"

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_GLOBAL_PANEL_SERVICES "LWPanelServices"
#define HOST_GLOBAL_RASTER_SERVICES "RasterServices"
#define HOST_GLOBAL_INFO_MESSAGES "Info Messages 2"
#define HOST_GLOBAL_CONTEXT_MENU "ContextMenuServices"
#define HOST_GLOBAL_SHELF_FUNCS "LWShelfFuncs"
#define HOST_GLOBAL_FILE_REQUEST "File Request"
#define HOST_GLOBAL_COLOR_PICKER "Color Picker"
/* "File IO", "Image Utility" and "Scene Objects 4" are named in services.h. */

/* ---- Colours, qualifiers, keys ------------------------------------------- */

/* Red in the third byte, blue in the second, green in the lowest. */
typedef uint32_t HostColor;
#define HOST_RGB(r, g, b) \
    ((HostColor)(0x01000000u + (uint32_t)(r) * 65536u + (uint32_t)(b) * 256u + (uint32_t)(g)))

/* Qualifier bits of mouse and move events. */
#define HOST_QUAL_CTRL 0x01
#define HOST_QUAL_SHIFT 0x02
#define HOST_QUAL_ALT 0x04
#define HOST_QUAL_LEFT 0x20    /* the primary button */
#define HOST_QUAL_RIGHT 0x40   /* the secondary button; both bits: the context-menu button */
#define HOST_QUAL_DOWN 0x80    /* set on a press, clear on a release */

/* Key codes of key events. Printable keys deliver their character (letters
 * in the case typed), Return 13, Escape 27, space 32. With Ctrl held, letters
 * deliver 1 to 26 (either case), digits HOST_KEY_CTRL_DIGIT + 0..9 and
 * "[", "\", "]" deliver 27, 28, 29. */
#define HOST_KEY_RETURN 13
#define HOST_KEY_ESCAPE 27
#define HOST_KEY_SPACE 32
#define HOST_KEY_LEFT 0x1010
#define HOST_KEY_RIGHT 0x1011
#define HOST_KEY_UP 0x1012
#define HOST_KEY_DOWN 0x1013
#define HOST_KEY_DELETE 0x1020
#define HOST_KEY_INSERT 0x1022
#define HOST_KEY_BACKSPACE 0x1023
#define HOST_KEY_TAB 0x1024
#define HOST_KEY_CTRL_DIGIT 0x1030
#define HOST_KEY_KP_ENTER 0x1057
#define HOST_KEY_SHIFT 0x1060
#define HOST_KEY_ALT 0x1061
#define HOST_KEY_CTRL 0x1062

/* ---- "LWPanelServices" ----------------------------------------------------- */

typedef struct HostPanelRec *HostPanel;
typedef struct HostControlRec *HostControl;

/* Open flags. */
#define HOST_PANF_BLOCKING 0x01   /* open returns when the panel closes, with its result */
#define HOST_PANF_FRAME 0x04      /* a framed window */
#define HOST_PANF_MOUSETRAP 0x08  /* deliver pointer movement to the move handler */
#define HOST_PANF_PASSALLKEYS 0x10 /* deliver every key, modifiers included */
#define HOST_PANF_NOBUTT 0x40     /* no OK and Cancel buttons */

/* Event handlers of a panel; any may be null. `data` is the user data given
 * at creation. */
typedef struct HostPanelHandlers {
    void (*open)(void *data);                            /* opened: size it, build its controls */
    void (*close)(void *data);                           /* closed, by the user or by close() */
    void (*activate)(void *data);                        /* the panel's window became active */
    void (*draw)(void *data);                            /* after the host drew background and controls */
    void (*keyDown)(void *data, int key);                /* a HOST_KEY_* code or character */
    void (*keyUp)(void *data, int key);                  /* as keyDown */
    void (*mouse)(void *data, int qualifiers, int x, int y); /* press (HOST_QUAL_DOWN) or release */
    void (*move)(void *data, int qualifiers, int x, int y);  /* pointer moved; buttons held in qualifiers */
    void (*control)(void *data, HostControl control);    /* a control's value changed or it was pressed */
    void (*drawControl)(void *data, HostControl control); /* a canvas control must be drawn */
} HostPanelHandlers;

/* Control kinds. */
enum {
    HOST_CTL_BUTTON = 1,  /* label; value unused */
    HOST_CTL_POPUP,       /* items; int value = chosen index */
    HOST_CTL_TREE,        /* tree callbacks; item value = selected item */
    HOST_CTL_CANVAS,      /* width x height drawing area; drawn by the module */
    HOST_CTL_TEXT,        /* a label only */
    HOST_CTL_FLOAT,       /* float value; a slider over min..max when min < max */
    HOST_CTL_DISTANCE,    /* float value in metres, shown with a unit; slider as float */
    HOST_CTL_PERCENT,     /* float value shown as a percentage, slider over min..max */
    HOST_CTL_ANGLE,       /* float value in degrees, slider over min..max */
    HOST_CTL_INTEGER,     /* int value */
    HOST_CTL_CHECKBOX,    /* int value 0 or 1 */
    HOST_CTL_VECTOR,      /* vector value */
    HOST_CTL_DISTANCE_VECTOR, /* vector value shown as distances */
    HOST_CTL_CHOICE,      /* items, side by side; int value = chosen index */
    HOST_CTL_CUSTOM_POPUP, /* count/name callbacks; int value = chosen index */
    HOST_CTL_ITEM_LIST,   /* host items of itemType; int value = item id (HostID), 0 = none */
    HOST_CTL_EDIT,        /* text value */
    HOST_CTL_LOAD,        /* text value: a file path with a requester button */
    HOST_CTL_DIR          /* text value: a directory with a requester button */
};

/* The items of a tree control. `item` null means the invisible top; items are
 * the module's own pointers. */
typedef struct HostTreeFuncs {
    void *data;
    int (*count)(void *data, void *item);                /* children of item */
    void *(*child)(void *data, void *item, int index);   /* one child, null when out of range */
    const char *(*label)(void *data, void *item);        /* the text shown */
    int (*expanded)(void *data, void *item);             /* 1 when its children show */
    void (*setExpanded)(void *data, void *item, int expanded); /* the artist opened or closed it */
} HostTreeFuncs;

/* A control to add. Fields a kind does not use are ignored. */
typedef struct HostControlDesc {
    int kind;                          /* HOST_CTL_* */
    const char *label;                 /* null or "" for none */
    int x, y;                          /* top-left in panel coordinates */
    int width, height;                 /* 0 = the kind's own; a canvas's are its drawing area */
    const char *const *items;          /* popup, choice: texts ended by null */
    void *data;                        /* custom popup: callbacks' user data */
    int (*count)(void *data);          /* custom popup: number of items */
    const char *(*name)(void *data, int index); /* custom popup: item text, null out of range */
    const HostTreeFuncs *tree;         /* tree: copied by the host */
    double min, max;                   /* float, distance, percent, angle: the slider's range */
    int itemType;                      /* item list: HOST_OBJECT .. HOST_BONE, 4 images, 5 any item */
    int chars;                         /* edit, load, dir: the field's width in characters; 0 = its own */
} HostControlDesc;

typedef struct HostPanelServices {
    HostPanel (*create)(const char *title, const HostPanelHandlers *handlers, void *data); /* null on failure */
    void (*destroy)(HostPanel panel);                    /* closes it first when open; destroys its controls */
    int (*open)(HostPanel panel, int flags);             /* 1 opened (blocking: 1 OK, 0 Cancel), 0 failed */
    void (*close)(HostPanel panel);                      /* a blocking open then returns 0 */
    int (*isOpen)(HostPanel panel);                      /* 1 while open */
    void (*setSize)(HostPanel panel, int width, int height); /* the drawing area's size */
    void (*getSize)(HostPanel panel, int *width, int *height);
    void (*redraw)(HostPanel panel);                     /* full redraw: background, controls, draw, canvases */
    void (*pointer)(HostPanel panel, int *x, int *y);    /* where the pointer was at the last event */
    uint32_t (*clock)(void);                             /* interface time in milliseconds, for double-clicks */

    /* Drawing on the panel, immediately, in panel coordinates. */
    void (*drawLine)(HostPanel panel, HostColor color, int x1, int y1, int x2, int y2); /* both ends drawn */
    void (*drawBox)(HostPanel panel, HostColor color, int x, int y, int width, int height); /* filled */
    void (*drawBorder)(HostPanel panel, int depth, int x, int y, int width, int height); /* sunken frame */
    void (*drawText)(HostPanel panel, HostColor color, int x, int y, const char *text); /* top-left at x, y */
    int (*textWidth)(HostPanel panel, const char *text);
    int (*textHeight)(HostPanel panel);                  /* the line box's height */

    /* Controls, created while the panel is open or before opening. */
    HostControl (*addControl)(HostPanel panel, const HostControlDesc *desc); /* null on failure */
    void (*controlRect)(HostControl control, int *x, int *y, int *width, int *height); /* whole area */
    void (*hotRect)(HostControl control, int *x, int *y, int *width, int *height); /* active area */
    void (*moveControl)(HostControl control, int x, int y);
    void (*ghost)(HostControl control, int ghosted);     /* 1 greys it and ignores input */
    void (*redrawControl)(HostControl control);          /* a canvas: through drawControl */
    int (*getInt)(HostControl control);
    void (*setInt)(HostControl control, int value);
    double (*getFloat)(HostControl control);
    void (*setFloat)(HostControl control, double value);
    void (*getVector)(HostControl control, double value[3]);
    void (*setVector)(HostControl control, const double value[3]);
    const char *(*getText)(HostControl control);         /* valid until the next change */
    void (*setText)(HostControl control, const char *text);
    void *(*getItem)(HostControl control);               /* tree: the selected item, null if none */
    void (*setItem)(HostControl control, void *item);
} HostPanelServices;

/* ---- "RasterServices" ------------------------------------------------------- */

typedef struct HostRasterRec *HostRaster;

typedef struct HostRasterServices {
    HostRaster (*create)(int width, int height);         /* black; null on failure */
    void (*destroy)(HostRaster raster);
    void (*drawPixel)(HostRaster raster, HostColor color, int x, int y);
    void (*drawLine)(HostRaster raster, HostColor color, int x1, int y1, int x2, int y2); /* both ends drawn */
    void (*drawBox)(HostRaster raster, HostColor color, int x, int y, int width, int height); /* filled */
    void (*drawRGB)(HostRaster raster, int x, int y, int width, int height,
                    const unsigned char *rgb);           /* rows of red, green, blue bytes */
    void (*drawText)(HostRaster raster, HostColor color, int x, int y, const char *text); /* top-left at x, y */
    int (*textWidth)(HostRaster raster, const char *text);
    void (*blit)(HostRaster raster, HostControl canvas, int x, int y); /* at x, y of the canvas's hot area */
} HostRasterServices;

/* ---- "Info Messages 2" ------------------------------------------------------ */

typedef struct HostInfoMessages {
    void (*info)(const char *title, const char *text);   /* a message box with OK */
    void (*error)(const char *title, const char *text);
    int (*okCancel)(const char *title, const char *text); /* 1 OK, 0 Cancel */
} HostInfoMessages;

/* ---- "ContextMenuServices" -------------------------------------------------- */

typedef struct HostMenuRec *HostMenu;

typedef struct HostPopupDesc {
    int width;                                  /* pixels */
    void *data;                                 /* the callbacks' user data */
    int (*count)(void *data);                   /* number of items */
    const char *(*name)(void *data, int index); /* item text, null out of range */
} HostPopupDesc;

typedef struct HostContextMenuFuncs {
    HostMenu (*create)(const HostPopupDesc *desc);       /* null on failure */
    int (*deploy)(HostMenu menu, HostPanel panel, int item); /* at the pointer; chosen index or -1 */
    void (*destroy)(HostMenu menu);
} HostContextMenuFuncs;

/* ---- "LWShelfFuncs" ---------------------------------------------------------- */

typedef struct HostShelfRec *HostShelfClient;
typedef struct HostImageRec *HostImage;

typedef int (*HostShelfLoadOkFunc)(void *data);
/* Exactly one of state and filename is non-null. */
typedef void (*HostShelfLoadFunc)(void *data, const HostLoadState *state, const char *filename,
                                  const char **parms);
typedef void (*HostShelfSaveFunc)(void *data, const HostSaveState *state, const char *filename);

typedef struct HostShelfFuncs {
    HostShelfClient (*open)(const char *className, const char *serverName, void *data, int flags,
                            HostShelfLoadOkFunc loadOk, HostShelfLoadFunc load,
                            HostShelfSaveFunc save);    /* null on failure */
    void (*close)(HostShelfClient client);
    int (*isOpen)(HostShelfClient client);               /* 1 when the shelf's window is open */
    void (*openWindow)(HostShelfClient client);          /* opens the window serving this client */
    void (*setContext)(HostShelfClient client);          /* the open window serves this client */
    int (*addPreset)(HostShelfClient client, HostImage thumbnail,
                     const char **parms);                /* calls save for the data; 1 on success */
} HostShelfFuncs;

/* ---- "File Request" ------------------------------------------------------------ */

/* name: in, a pattern ("<*.ext" to load, ">*.ext" to save); out, the chosen
 * file's name. dir: in and out, the directory. result: out, the full path.
 * All three buffers are `length` bytes. */
typedef struct HostFileRequest {
    int (*request)(const char *title, char *name, char *dir, char *result, int length); /* 1 accepted, 0 cancelled */
} HostFileRequest;

/* ---- "Image Utility" ------------------------------------------------------------ */

#define HOST_IMAGE_RGBFP 4 /* three floats per pixel */

typedef struct HostImageUtility {
    HostImage (*create)(int type, int width, int height); /* black; null on failure */
    void (*destroy)(HostImage image);
    void (*setPixel)(HostImage image, int x, int y, const float rgb[3]);
    void (*getPixel)(HostImage image, int x, int y, float rgb[3]);
    void (*size)(HostImage image, int *width, int *height);
} HostImageUtility;

/* ---- "Scene Objects 4" ------------------------------------------------------------ */

typedef struct HostSceneObjects {
    int (*numVMaps)(uint32_t type);                      /* vertex maps of a HOST_VMAP_* type */
    const char *(*vmapName)(uint32_t type, int index);   /* null out of range */
    int (*numObjects)(void);
    const char *(*objectName)(int index);                /* null out of range */
    int (*numSurfaces)(int object);                      /* surfaces of object `index` */
    const char *(*surfaceName)(int object, int index);   /* null out of range */
} HostSceneObjects;

/* ---- "Color Picker" ------------------------------------------------------------------ */

typedef struct HostColorPick {
    const char *title;
    float rgb[3];                                        /* in: the start colour; out: the choice */
    int result;                                          /* out: 1 accepted, 0 cancelled */
} HostColorPick;

typedef struct HostColorPicker {
    int (*pick)(int version, HostColorPick *request);    /* 0 when the request was understood */
} HostColorPicker;

#ifdef __cplusplus
}
#endif

#endif
