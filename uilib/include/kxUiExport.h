// Marks the classes that kxUiLib exports. The library is built with hidden visibility, so only
// what carries this mark is visible to programs that link it. Clients see the same mark: their
// own hidden default must not hide the type information of the classes they use or derive from.
#pragma once

#define KXUI_API __attribute__((visibility("default")))
