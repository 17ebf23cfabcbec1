// The dynamic-creation descriptors of the classes the host opens windows with.
#pragma once

#include "framework/document.h"

const fw::RuntimeClass& WatchViewClass();      // "CIPOWatch", defined with the watch view
const fw::RuntimeClass& OrderBookViewClass();  // "CIPOOrderBook", defined with the order book
const fw::RuntimeClass& GenericFrameClass();   // "CIPOGenericFrame", defined with the frame

// Adds the layouts of the plug-in's forms to the framework's resource table.
void RegisterPluginResources();
