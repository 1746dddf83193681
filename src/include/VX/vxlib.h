/* The framebuffer window system: one display on "/dev/fb0" with its OSD plane and colour key,
 * and a list of windows and pixmaps (size records; their pixel buffers live in GPU memory).
 *
 * Query answers: VXQueryWindow attribute VX_WINDOW_ADDR and VXQueryDisplay attribute
 * VX_DISPLAY_OSD_OFFSET write a uintptr_t; VX_DISPLAY_FINFO and VX_DISPLAY_VINFO copy the whole
 * struct fb_fix_screeninfo / fb_var_screeninfo; every other attribute writes an int. A null
 * value makes a query do nothing at all. */
#ifndef OVG_VX_VXLIB_H
#define OVG_VX_VXLIB_H

#include <VX/vxtypes.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Error codes of VXGetError (first error wins until it is read). */
#define VX_SUCCESS 0
#define VX_BAD_ALLOC 1
#define VX_BAD_DISPLAY 2
#define VX_BAD_WINDOW 3
#define VX_BAD_PIXMAP 4
#define VX_BAD_ATTRIBUTE 5
#define VX_BAD_VALUE 6

/* VXQueryDisplay attributes (VX_DISPLAY_OSD and VX_DISPLAY_OSD_VISIBLE also configure). */
#define VX_DISPLAY_FBFD 0x100
#define VX_DISPLAY_FINFO 0x200
#define VX_DISPLAY_VINFO 0x400
#define VX_DISPLAY_OSD 0x800
#define VX_DISPLAY_OSD_OFFSET 0x1000
#define VX_DISPLAY_OSD_VISIBLE 0x2000
#define VX_DISPLAY_VALID 0x10000000

/* VXQueryWindow attributes; the target may be a window or a pixmap. */
#define VX_WINDOW_WIDTH 1
#define VX_WINDOW_HEIGHT 2
#define VX_WINDOW_ADDR 4
#define VX_WINDOW_SWIDTH 8
#define VX_WINDOW_SHEIGHT 16
#define VX_WINDOW_DEPTH 32
#define VX_WINDOW_X 64
#define VX_WINDOW_Y 128
#define VX_WINDOW_VALID 0x10000000

/* Commands of the framebuffer driver's OSD record. */
#define VX_OSD_PLANE_OFF 1
#define VX_OSD_PLANE_ON 2
#define VX_OSD_SHOW 3
#define VX_OSD_HIDE 4
#define VX_OSD_SET_COLORKEY 8
#define VX_OSD_COLORKEY_OFF 9

/* id null: the plain display; "osd" (any case): with the OSD plane, value then optionally
 * points to a colour key 0x00RRGGBB that turns the colour key on. */
VXDisplay *VXOpenDisplay(const char *id);
VXDisplay *VXOpenDisplay2(const char *id, const unsigned int *value);
void VXCloseDisplay(VXDisplay *dpy);

VXWindow VXCreateWindow(VXDisplay *dpy, int x, int y, int width, int height, int depth);
VXPixmap VXCreatePixmap(VXDisplay *dpy, VXWindow win, int width, int height, int depth);
void VXDestroyWindow(VXDisplay *dpy, VXWindow win);
void VXFreePixmap(VXDisplay *dpy, VXPixmap pixmap);

void VXQueryDisplay(VXDisplay *dpy, int attribute, void *value);
void VXQueryWindow(VXDisplay *dpy, VXWindow target, int attribute, void *value);
/* VX_DISPLAY_OSD: value[0] on/off, value[1] colour key on/off, value[2] colour key;
 * VX_DISPLAY_OSD_VISIBLE: value[0] shown/hidden. */
void VXConfigDisplay(VXDisplay *dpy, int attribute, const unsigned int *value);

int VXGetError(void);

#ifdef __cplusplus
}
#endif

#endif /* OVG_VX_VXLIB_H */
