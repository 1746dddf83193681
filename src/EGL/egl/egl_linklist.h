/* Singly linked lists of EGL records (displays, surfaces, contexts), newest first. */
#ifndef EGL_LINKLIST_H
#define EGL_LINKLIST_H

#include "EGL/egl/egl_lx_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The new head, or head unchanged when the node could not be allocated. */
EGLlinklist *EGLINL_InsertLinkList(EGLlinklist *head, void *item);
EGLlinklist *EGLINL_DeleteLinkList(EGLlinklist *head, const void *item);
EGLBoolean EGLINL_IsLinkListItem(const EGLlinklist *head, const void *item);
void *EGLINL_GetLinkListItem(const EGLlinklist *node);
EGLlinklist *EGLINL_NextLinkList(const EGLlinklist *node);

/* Test seam: the nth node allocation from now (1 = the next) fails; 0 switches it off. */
void EGLINL_FailLinkListInsert(int nth);

#ifdef __cplusplus
}
#endif

#endif
