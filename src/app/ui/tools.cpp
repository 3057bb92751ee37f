#include "app/ui/tools.h"

#include "app/ui/frmmain.h"

void registerTools() {
    // Each tool adds its window here as it joins the program.
}
