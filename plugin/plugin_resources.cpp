#include "plugin/runtime_classes.h"

void RegisterPluginResources() {
    fw::RegisterTemplate(&WatchFormLayout());
    fw::RegisterTemplate(&OrderBookFormLayout());
}
