/* The framebuffer window system: one display record per process on "/dev/fb0", its OSD plane
 * and colour key driven through the framebuffer driver's private requests, and a list of
 * window and pixmap records. */
#include <VX/vxlib.h>

#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/mman.h>

#include "cgl_assert.h"
#include "memmanage/gmalloc.h"
#include "vx_fbdev.h"
#include "vxlib_records.h"

static struct VXdisplay vxdisplay = {.fbfd = -1};
static int VXINVAL_error_code;

static void set_error(int code)
{
    if (VXINVAL_error_code == 0)
        VXINVAL_error_code = code;
}

int VXGetError(void)
{
    int code = VXINVAL_error_code;
    VXINVAL_error_code = 0;
    return code;
}

/* ---- OSD plane ---- */

static void osd_command(int cmd, int color)
{
    struct osd_cmd_s record;
    memset(&record, 0, sizeof record);
    record.cmd = cmd;
    record.color = color;
    vx_fb_ioctl(vxdisplay.fbfd, VX_FBIO_OSD_CMD, &record);
}

static void _osd_update_colorkey(void)
{
    if (vxdisplay.osd_colorkey_enabled) {
        uint32_t key = vxdisplay.osd_colorkey;
        int color = (int)key;
        CGL_ASSERT(vxdisplay.vinfo.bits_per_pixel == 16 || vxdisplay.vinfo.bits_per_pixel == 32,
                   "vxdisplay->vinfo.bits_per_pixel == 16 || vxdisplay->vinfo.bits_per_pixel == 32");
        if (vxdisplay.vinfo.bits_per_pixel == 16)
            color = (int)(((key >> 8) & 0xF800) | ((key >> 5) & 0x07E0) | ((key & 0xFF) >> 3));
        osd_command(VX_OSD_SET_COLORKEY, color);
    } else {
        osd_command(VX_OSD_COLORKEY_OFF, 0);
    }
}

static void _osd_setup(void)
{
    uint32_t offset = 0;
    unsigned long long frame_buffer_size;
    int err = vx_fb_ioctl(vxdisplay.fbfd, VX_FBIO_GET_OSD_OFFSET, &offset);
    CGL_ASSERT(err != -1, "err != -1");
    vxdisplay.osd_offset = offset;
    frame_buffer_size = (unsigned long long)vxdisplay.finfo.line_length * vxdisplay.vinfo.yres;
    CGL_ASSERT(vxdisplay.finfo.smem_len >= vxdisplay.osd_offset + frame_buffer_size,
               "vxdisplay->finfo.smem_len >= (vxdisplay->osd_offset + frame_buffer_size)");
    osd_command(VX_OSD_PLANE_ON, 0);
    _osd_update_colorkey();
    vx_fb_ioctl(vxdisplay.fbfd, VX_FBIO_OSD_ENABLE, NULL);
    vxdisplay.osd_visible = 0;
    osd_command(VX_OSD_HIDE, 0);
}

static void _osd_shutdown(void)
{
    vxdisplay.osd_visible = 0;
    osd_command(VX_OSD_HIDE, 0);
    osd_command(VX_OSD_PLANE_OFF, 0);
}

/* ---- Display ---- */

VXDisplay *VXOpenDisplay(const char *id)
{
    return VXOpenDisplay2(id, NULL);
}

VXDisplay *VXOpenDisplay2(const char *id, const unsigned int *value)
{
    int previous_osd = vxdisplay.osd;
    int err;

    vxdisplay.osd = 0;
    vxdisplay.osd_colorkey_enabled = 0;
    vxdisplay.osd_colorkey = VX_NO_COLORKEY;
    if (id) {
        if (strcasecmp(id, "osd") != 0) {
            set_error(VX_BAD_VALUE);
            return NULL;
        }
        vxdisplay.osd = 1;
        if (value) {
            vxdisplay.osd_colorkey_enabled = 1;
            vxdisplay.osd_colorkey = *value;
        }
    }
    if (vxdisplay.fbfd >= 0)
        return &vxdisplay;

    memset(&vxdisplay.finfo, 0, sizeof vxdisplay.finfo);
    memset(&vxdisplay.vinfo, 0, sizeof vxdisplay.vinfo);
    vxdisplay.frame_buffer = NULL;
    vxdisplay.fbfd = vx_fb_open(VX_FB_DEVICE, O_RDWR);
    CGL_ASSERT(vxdisplay.fbfd >= 0, "fbfd >= 0");
    err = vx_fb_ioctl(vxdisplay.fbfd, FBIOGET_FSCREENINFO, &vxdisplay.finfo);
    CGL_ASSERT(err != -1, "err != -1");
    err = vx_fb_ioctl(vxdisplay.fbfd, FBIOGET_VSCREENINFO, &vxdisplay.vinfo);
    CGL_ASSERT(err != -1, "err != -1");
    printf("line_length = %d\n", (int)vxdisplay.finfo.line_length);
    printf("%dx%d, %d bpp: %s, %s, %d\n", (int)vxdisplay.vinfo.xres, (int)vxdisplay.vinfo.yres,
           (int)vxdisplay.vinfo.bits_per_pixel, __FILE__, __func__, __LINE__);
    vxdisplay.frame_buffer =
        vx_fb_mmap(NULL, vxdisplay.finfo.smem_len, PROT_READ | PROT_WRITE, MAP_SHARED, vxdisplay.fbfd, 0);
    CGL_ASSERT(vxdisplay.frame_buffer != MAP_FAILED, "frame_buffer != ((void *) -1)");

    if (vxdisplay.osd)
        _osd_setup();
    else if (previous_osd)
        _osd_shutdown();
    return &vxdisplay;
}

int VXINLIB_DisplayIsOpen(void)
{
    return vxdisplay.fbfd >= 0;
}

static void VXINLIB_DeleteWindow(struct VXwindow *win)
{
    struct VXwindow **link = &vxdisplay.window;
    while (*link && *link != win)
        link = &(*link)->next;
    if (*link)
        *link = win->next;
    if (win->addr != VX_NO_BUFFER)
        gmFree((MemAddr)win->addr);
    free(win);
}

void VXCloseDisplay(VXDisplay *dpy)
{
    if (dpy != &vxdisplay) {
        set_error(VX_BAD_DISPLAY);
        return;
    }
    while (vxdisplay.window)
        VXINLIB_DeleteWindow(vxdisplay.window);
    if (vxdisplay.frame_buffer && vxdisplay.frame_buffer != MAP_FAILED)
        vx_fb_munmap(vxdisplay.frame_buffer, vxdisplay.finfo.smem_len);
    vxdisplay.frame_buffer = NULL;
    if (vxdisplay.fbfd >= 0)
        vx_fb_close(vxdisplay.fbfd);
    vxdisplay.fbfd = -1;
}

/* ---- Windows and pixmaps ---- */

static void VXINLIB_FixTolvekWindowSize(struct VXwindow *win)
{
    win->swidth = (win->width + 7) & ~7;
    win->sheight = win->height;
    if (win->swidth > VX_MAX_SIZE)
        win->swidth = VX_MAX_SIZE;
    if (win->sheight > VX_MAX_SIZE)
        win->sheight = VX_MAX_SIZE;
}

static struct VXwindow *create_record(VXDisplay *dpy, unsigned type, int width, int height, int depth)
{
    struct VXwindow *win;
    if (!dpy || dpy != &vxdisplay) {
        set_error(VX_BAD_DISPLAY);
        return NULL;
    }
    if (width < 0 || width > VX_MAX_SIZE || height < 0 || height > VX_MAX_SIZE ||
        (type == VX_TYPE_PIXMAP && depth != 16 && depth != 32)) {
        set_error(VX_BAD_VALUE);
        return NULL;
    }
    win = (struct VXwindow *)calloc(1, sizeof *win);
    if (!win) {
        set_error(VX_BAD_ALLOC);
        return NULL;
    }
    win->addr = VX_NO_BUFFER;
    win->width = width;
    win->height = height;
    win->depth = depth;
    win->type = type;
    VXINLIB_FixTolvekWindowSize(win);
    win->next = vxdisplay.window;
    vxdisplay.window = win;
    return win;
}

VXWindow VXCreateWindow(VXDisplay *dpy, int x, int y, int width, int height, int depth)
{
    struct VXwindow *win = create_record(dpy, VX_TYPE_WINDOW, width, height, depth);
    if (win) {
        win->x = x;
        win->y = y;
    }
    return win;
}

VXPixmap VXCreatePixmap(VXDisplay *dpy, VXWindow win, int width, int height, int depth)
{
    (void)win;
    return create_record(dpy, VX_TYPE_PIXMAP, width, height, depth);
}

static struct VXwindow *VXINLIB_SearchWindow(const struct VXwindow *target)
{
    struct VXwindow *win;
    for (win = vxdisplay.window; win; win = win->next)
        if (win == target)
            return win;
    return NULL;
}

static void delete_typed(VXDisplay *dpy, struct VXwindow *target, unsigned type, int error)
{
    struct VXwindow *win;
    if (dpy != &vxdisplay) {
        set_error(VX_BAD_DISPLAY);
        return;
    }
    win = VXINLIB_SearchWindow(target);
    if (!win || win->type != type) {
        set_error(error);
        return;
    }
    VXINLIB_DeleteWindow(win);
}

void VXDestroyWindow(VXDisplay *dpy, VXWindow win)
{
    delete_typed(dpy, win, VX_TYPE_WINDOW, VX_BAD_WINDOW);
}

void VXFreePixmap(VXDisplay *dpy, VXPixmap pixmap)
{
    delete_typed(dpy, pixmap, VX_TYPE_PIXMAP, VX_BAD_PIXMAP);
}

/* ---- Queries and configuration ---- */

static void answer_int(void *value, int answer)
{
    memcpy(value, &answer, sizeof answer);
}

static void answer_pointer(void *value, uintptr_t answer)
{
    memcpy(value, &answer, sizeof answer);
}

/* The zero answer of a refused display query, in the attribute's own width. */
static void refuse_display_query(int attribute, void *value, int error)
{
    set_error(error);
    if (attribute == VX_DISPLAY_FINFO)
        memset(value, 0, sizeof vxdisplay.finfo);
    else if (attribute == VX_DISPLAY_VINFO)
        memset(value, 0, sizeof vxdisplay.vinfo);
    else if (attribute == VX_DISPLAY_OSD_OFFSET)
        answer_pointer(value, 0);
    else
        answer_int(value, 0);
}

void VXQueryDisplay(VXDisplay *dpy, int attribute, void *value)
{
    if (!value)
        return;
    if (dpy != &vxdisplay) {
        refuse_display_query(attribute, value, VX_BAD_DISPLAY);
        return;
    }
    switch (attribute) {
    case VX_DISPLAY_FBFD: answer_int(value, vxdisplay.fbfd); break;
    case VX_DISPLAY_FINFO: memcpy(value, &vxdisplay.finfo, sizeof vxdisplay.finfo); break;
    case VX_DISPLAY_VINFO: memcpy(value, &vxdisplay.vinfo, sizeof vxdisplay.vinfo); break;
    case VX_DISPLAY_OSD: answer_int(value, vxdisplay.osd); break;
    case VX_DISPLAY_OSD_OFFSET: answer_pointer(value, vxdisplay.osd_offset); break;
    case VX_DISPLAY_OSD_VISIBLE: answer_int(value, vxdisplay.osd_visible); break;
    case VX_DISPLAY_VALID: answer_int(value, 1); break;
    default: refuse_display_query(attribute, value, VX_BAD_ATTRIBUTE); break;
    }
}

void VXQueryWindow(VXDisplay *dpy, VXWindow target, int attribute, void *value)
{
    const struct VXwindow *win;
    int error = 0;
    if (!value)
        return;
    win = dpy == &vxdisplay ? VXINLIB_SearchWindow(target) : NULL;
    if (dpy != &vxdisplay)
        error = VX_BAD_DISPLAY;
    else if (!win)
        error = VX_BAD_WINDOW;
    if (error) {
        set_error(error);
        if (attribute == VX_WINDOW_ADDR)
            answer_pointer(value, 0);
        else
            answer_int(value, 0);
        return;
    }
    switch (attribute) {
    case VX_WINDOW_WIDTH: answer_int(value, win->width); break;
    case VX_WINDOW_HEIGHT: answer_int(value, win->height); break;
    case VX_WINDOW_ADDR: answer_pointer(value, win->addr); break;
    case VX_WINDOW_SWIDTH: answer_int(value, win->swidth); break;
    case VX_WINDOW_SHEIGHT: answer_int(value, win->sheight); break;
    case VX_WINDOW_DEPTH: answer_int(value, win->depth); break;
    case VX_WINDOW_X: answer_int(value, win->x); break;
    case VX_WINDOW_Y: answer_int(value, win->y); break;
    case VX_WINDOW_VALID: answer_int(value, 1); break;
    default:
        set_error(VX_BAD_ATTRIBUTE);
        answer_int(value, 0);
        break;
    }
}

void VXConfigDisplay(VXDisplay *dpy, int attribute, const unsigned int *value)
{
    if (dpy != &vxdisplay) {
        set_error(VX_BAD_DISPLAY);
        return;
    }
    if (attribute != VX_DISPLAY_OSD && attribute != VX_DISPLAY_OSD_VISIBLE) {
        set_error(VX_BAD_ATTRIBUTE);
        return;
    }
    if (!value) {
        set_error(VX_BAD_VALUE);
        return;
    }
    if (attribute == VX_DISPLAY_OSD_VISIBLE) {
        vxdisplay.osd_visible = value[0] != 0;
        osd_command(value[0] ? VX_OSD_SHOW : VX_OSD_HIDE, 0);
        return;
    }
    if (value[0] == 0) {
        if (vxdisplay.osd)
            _osd_shutdown();
        vxdisplay.osd = 0;
        return;
    }
    vxdisplay.osd_colorkey_enabled = value[1] != 0;
    vxdisplay.osd_colorkey = value[1] ? value[2] : VX_NO_COLORKEY;
    if (vxdisplay.osd) {
        _osd_update_colorkey();
    } else {
        vxdisplay.osd = 1;
        _osd_setup();
    }
}
