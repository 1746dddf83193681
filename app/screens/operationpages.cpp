#include "operationpages.h"

#include "form2cardkakunin.h"
#include "form2cardtouroku.h"
#include "form2centerkakunin.h"
#include "form2jikokudouki.h"
#include "form2tsushincloud.h"
#include "pagetable.h"

void OperationPages::install()
{
    PageTable::add(PageTable::MovePage, 1,
                   [](QObject* host, int, const QString&) { return new Form2CardKakunin(host); });
    PageTable::add(PageTable::MovePage, 2,
                   [](QObject* host, int, const QString&) { return new Form2JikokuDouki(host); });
    PageTable::add(PageTable::MovePage, 3,
                   [](QObject* host, int, const QString&) { return new Form2CenterKakunin(host); });
    PageTable::add(PageTable::MovePage, 4,
                   [](QObject* host, int, const QString&) { return new Form2TsushinCloud(host); });
    PageTable::add(PageTable::MovePage, 6,
                   [](QObject* host, int, const QString&) { return new Form2CardTouroku(host); });
}
