/* Handles of the framebuffer window system: the display (callers hold a VXDisplay
 * pointer, the address of the one display record) and its windows and pixmaps (the
 * addresses of their records). They are EGL's native types. */
#ifndef OVG_VX_VXTYPES_H
#define OVG_VX_VXTYPES_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct VXdisplay VXDisplay;
typedef struct VXwindow *VXWindow;
typedef struct VXwindow *VXPixmap;

#ifdef __cplusplus
}
#endif

#endif /* OVG_VX_VXTYPES_H */
