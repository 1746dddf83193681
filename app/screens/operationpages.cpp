#include "operationpages.h"

#include "form2cardkakunin.h"
#include "form2cardtouroku.h"
#include "pagetable.h"

void OperationPages::install()
{
    PageTable::add(PageTable::MovePage, 1,
                   [](QObject* host, int, const QString&) { return new Form2CardKakunin(host); });
    PageTable::add(PageTable::MovePage, 6,
                   [](QObject* host, int, const QString&) { return new Form2CardTouroku(host); });
}
