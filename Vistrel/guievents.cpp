#include "guievents.h"

namespace vistrel {
namespace {

const gui_prop_s* installedTable = nullptr;
int installedCount = 0;

}  // namespace

void guiSetProps(const gui_prop_s* table, int count)
{
    installedTable = table;
    installedCount = count;
}

const gui_prop_s* guiInstalledProps()
{
    return installedTable;
}

int guiInstalledPropCount()
{
    return installedCount;
}

}  // namespace vistrel
