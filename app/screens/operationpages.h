#pragma once

// Registers the rows of the operation screens in the page host's page table.
namespace OperationPages {
void install();
}
