#include "EGL/egl/egl_linklist.h"

#include <stdlib.h>

static int fail_countdown;

void EGLINL_FailLinkListInsert(int nth)
{
    fail_countdown = nth;
}

EGLlinklist *EGLINL_InsertLinkList(EGLlinklist *head, void *item)
{
    EGLlinklist *node;
    if (fail_countdown > 0 && --fail_countdown == 0)
        return head;
    node = (EGLlinklist *)malloc(sizeof *node);
    if (!node)
        return head;
    node->item = item;
    node->next = head;
    return node;
}

EGLlinklist *EGLINL_DeleteLinkList(EGLlinklist *head, const void *item)
{
    EGLlinklist **link = &head;
    while (*link) {
        if ((*link)->item == item) {
            EGLlinklist *node = *link;
            *link = node->next;
            free(node);
            break;
        }
        link = &(*link)->next;
    }
    return head;
}

EGLBoolean EGLINL_IsLinkListItem(const EGLlinklist *head, const void *item)
{
    for (; head; head = head->next)
        if (head->item == item)
            return EGL_TRUE;
    return EGL_FALSE;
}

void *EGLINL_GetLinkListItem(const EGLlinklist *node)
{
    return node ? node->item : NULL;
}

EGLlinklist *EGLINL_NextLinkList(const EGLlinklist *node)
{
    return node ? node->next : NULL;
}
