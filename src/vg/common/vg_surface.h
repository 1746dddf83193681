/* The records through which EGL tells OpenVG where to draw: one buffer as OpenVG sees it
 * (ALbuffer) and the drawing surface of a context (ALsurface). The EGL porting layer owns
 * them and rewrites them at each make-current; OpenVG keeps pointers to them. */
#ifndef OVG_VG_COMMON_VG_SURFACE_H
#define OVG_VG_COMMON_VG_SURFACE_H

#include <VG/openvg.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct ALbufferStruct {
    VGint width;  /* visible width in pixels */
    VGint height;
    VGint stride; /* bytes per row */
    VGint bpp;
    VGuint addr;  /* GPU address of the first pixel; all ones when unset */
    VGint masklayer;
    VGint directimage;
    void *client; /* a direct image's client memory (addr is its value, below 4 GiB) */
} ALbuffer;

typedef struct ALsurfaceStruct {
    ALbuffer *disp0;       /* colour buffer 0 */
    ALbuffer *disp1;       /* colour buffer 1 of a double-buffered window, else null */
    ALbuffer *mask;        /* alpha-mask buffer or null */
    ALbuffer *multisample; /* multisample buffer or null */
    VGint mode;            /* 1 double-buffered window, 0 otherwise */
    VGint back;            /* which of disp0/disp1 is drawn into */
    VGint alphaformat;     /* EGL alpha format (0x308B non-premultiplied) */
    VGint colorspace;      /* EGL colour space (0x3089 sRGB) */
    VGint buffermode;      /* EGL colour buffer type (0x308E RGB) */
    VGint alphabits;
    VGint offscreen;       /* 1 for a pbuffer */
    VGint colororder;
} ALsurface;

#ifdef __cplusplus
}
#endif

#endif /* OVG_VG_COMMON_VG_SURFACE_H */
