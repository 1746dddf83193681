#ifndef CGL_ASSERT_H
#define CGL_ASSERT_H

/* Assertions that stay in release builds: a GPU that cannot be started, or a state that cannot
 * happen, ends the process with the source file, the line and the condition's text. */

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
__attribute__((noreturn))
#endif
void cgl_assert_fail(const char* text, const char* file, int line, const char* func);

#ifdef __cplusplus
}
#endif

#define CGL_ASSERT(cond, text)                                     \
    do {                                                           \
        if (!(cond))                                               \
            cgl_assert_fail((text), __FILE__, __LINE__, __func__); \
    } while (0)

#endif
