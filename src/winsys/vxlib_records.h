#ifndef VXLIB_RECORDS_H
#define VXLIB_RECORDS_H

/* The window system's records, for the parts of the library that use them directly. */

#include <linux/fb.h>
#include <stdint.h>

#include <VX/vxlib.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VX_NO_BUFFER 0xFFFFFFFFul
#define VX_NO_COLORKEY 0xFFFFFFFFu
#define VX_MAX_SIZE 2048

enum { VX_TYPE_WINDOW = 1, VX_TYPE_PIXMAP = 2 };

struct VXwindow {
    uintptr_t addr; /* GPU buffer of the record, VX_NO_BUFFER when none */
    int x, y;
    int width, height;
    int swidth, sheight; /* storage size: width rounded up to 8, both capped at 2048 */
    int depth;
    unsigned type;
    struct VXwindow *next;
};

struct VXdisplay {
    struct VXwindow *window; /* newest first */
    int fbfd;
    struct fb_fix_screeninfo finfo;
    struct fb_var_screeninfo vinfo;
    void *frame_buffer;
    int osd;
    unsigned long osd_offset;
    int osd_colorkey_enabled;
    uint32_t osd_colorkey;
    int osd_visible;
};

/* 1 while the display holds the framebuffer device open. */
int VXINLIB_DisplayIsOpen(void);

/* The OSD command record of the framebuffer driver; only cmd and color are filled. */
struct osd_cmd_s {
    int cmd;
    int x0, y0, x0_size, y0_size;
    int color;
    int alpha;
};

#ifdef __cplusplus
}
#endif

#endif
