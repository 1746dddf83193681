/* Point lists of chained 34-cell chunks and the result path that owns them. */
#include "vg/div/tvg_div.h"

#include <stdlib.h>

static tvg_div_alloc_fn alloc_fn = malloc;
static tvg_div_release_fn release_fn = free;

void VGALFUNC_tvg_div_set_allocator(tvg_div_alloc_fn alloc, tvg_div_release_fn release)
{
  alloc_fn = alloc ? alloc : malloc;
  release_fn = release ? release : free;
}

void *VGALFUNC_tvg_div_alloc(size_t size) { return alloc_fn(size); }

void VGALFUNC_tvg_div_release(void *block)
{
  if (block) release_fn(block);
}

static tvg_div_data_t *new_chunk(void)
{
  tvg_div_data_t *chunk = VGALFUNC_tvg_div_alloc(TVG_DIV_CHUNK_CELLS * sizeof(tvg_div_data_t));
  if (chunk) {
    chunk[0].ival = 0;
    chunk[1].ptr = NULL;
  }
  return chunk;
}

int VGALFUNC_tvg_div_listincu_init(tvg_div_listincu_t *listincu)
{
  tvg_div_data_t *chunk = new_chunk();
  listincu->top = listincu->header = chunk;
  listincu->cur = chunk ? chunk + 1 : NULL;
  listincu->listsize = 2 * TVG_DIV_CHUNK_POINTS;
  listincu->usedsize = 0;
  return chunk ? 0 : 1;
}

int VGALFUNC_tvg_div_listincu_add(tvg_div_listincu_t *listincu, float x, float y)
{
  if (!listincu->cur) return 1;
  if (listincu->usedsize + 2 > listincu->listsize) {
    tvg_div_data_t *chunk = new_chunk();
    listincu->cur->ptr = chunk;  /* null on failure: the chain stays terminated */
    if (!chunk) return 1;
    listincu->header = chunk;
    listincu->cur = chunk + 1;
    listincu->usedsize = 0;
  }
  listincu->cur[0].fval = x;
  listincu->cur[1].fval = y;
  listincu->header[0].ival++;
  listincu->cur += 2;
  listincu->usedsize += 2;
  listincu->cur->ptr = NULL;
  return 0;
}

void VGALFUNC_tvg_div_listincu_terminate(tvg_div_listincu_t *listincu)
{
  if (listincu->cur) listincu->cur->ptr = NULL;
  listincu->top = NULL;
}

void VGALFUNC_tvg_div_list_free(tvg_div_data_t *top)
{
  while (top) {
    tvg_div_data_t *next = top[2 * top[0].ival + 1].ptr;
    VGALFUNC_tvg_div_release(top);
    top = next;
  }
}

tvg_div_path_t *VGALFUNC_tvg_div_path_new(void)
{
  tvg_div_path_t *path = VGALFUNC_tvg_div_alloc(sizeof *path);
  if (path) path->fill = path->stroke_normal = path->stroke_reverse = NULL;
  return path;
}

int VGALFUNC_tvg_div_path_add(tvg_div_path_t *path, tvg_div_data_t *list, int reverse, int fill)
{
  tvg_div_subpath_t *sub = VGALFUNC_tvg_div_alloc(sizeof *sub);
  if (!sub) return 1;
  tvg_div_subpath_t **chain =
      fill ? &path->fill : reverse ? &path->stroke_reverse : &path->stroke_normal;
  sub->points = list;
  sub->next = *chain;
  *chain = sub;
  return 0;
}

static void free_chain(tvg_div_subpath_t *sub)
{
  while (sub) {
    tvg_div_subpath_t *next = sub->next;
    VGALFUNC_tvg_div_list_free(sub->points);
    VGALFUNC_tvg_div_release(sub);
    sub = next;
  }
}

void VGALFUNC_tvg_div_path_free(tvg_div_path_t *path)
{
  if (!path) return;
  free_chain(path->fill);
  free_chain(path->stroke_normal);
  free_chain(path->stroke_reverse);
  VGALFUNC_tvg_div_release(path);
}
