// The browser module's entry point: the program loads this module on its first page.
#include "ui/BrowserModule.h"
#include "ui/BrowserPages.h"

extern "C" Q_DECL_EXPORT zelmora::ui::BrowserHost* zelmora_createBrowserHost() {
    return new zelmora::ui::BrowserPages;
}
