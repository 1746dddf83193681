/* Packing, unpacking, limiting and premultiplying colours. */
#include "vg/common/vg_color.h"

#include "vg/common/vg_float_int.h"

void VGFUNC_UnpackColor(OVGcolor *dst, VGuint c)
{
    dst->r = (VGvalue)(c >> 24) / 255.0f;
    dst->g = (VGvalue)((c >> 16) & 255u) / 255.0f;
    dst->b = (VGvalue)((c >> 8) & 255u) / 255.0f;
    dst->a = (VGvalue)(c & 255u) / 255.0f;
}

void VGFUNC_ColorAt(OVGcolor *dst, OVGvalues s, VGint first)
{
    dst->r = VGFUNC_FloatAt(s, first);
    dst->g = VGFUNC_FloatAt(s, first + 1);
    dst->b = VGFUNC_FloatAt(s, first + 2);
    dst->a = VGFUNC_FloatAt(s, first + 3);
}

void VGFUNC_ClampColor(OVGcolor *dst, const OVGcolor *src)
{
    dst->r = VGFUNC_Clampf(src->r, 0.0f, 1.0f);
    dst->g = VGFUNC_Clampf(src->g, 0.0f, 1.0f);
    dst->b = VGFUNC_Clampf(src->b, 0.0f, 1.0f);
    dst->a = VGFUNC_Clampf(src->a, 0.0f, 1.0f);
}

/* A component already in 0..1 as a byte, rounded to nearest. */
static VGuint toByte(VGvalue x)
{
    return (VGuint)(x * 255.0f + 0.5f);
}

static VGuint pack(const OVGcolor *c)
{
    return toByte(c->r) << 24 | toByte(c->g) << 16 | toByte(c->b) << 8 | toByte(c->a);
}

VGuint VGFUNC_PackColor(const OVGcolor *src)
{
    OVGcolor clamped;
    VGFUNC_ClampColor(&clamped, src);
    return pack(&clamped);
}

void VGFUNC_Premultiplied(OVGcolor *dst, const OVGcolor *src)
{
    OVGcolor c;
    VGFUNC_ClampColor(&c, src);
    dst->r = c.a * c.r;
    dst->g = c.a * c.g;
    dst->b = c.a * c.b;
    dst->a = c.a;
}

VGuint VGFUNC_PackColorPre(const OVGcolor *src)
{
    OVGcolor pre;
    VGFUNC_Premultiplied(&pre, src);
    return pack(&pre);
}
