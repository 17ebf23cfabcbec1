// The dynamic-creation descriptors of the classes the host opens windows with.
#pragma once

#include "framework/document.h"
#include "framework/resource.h"

const fw::RuntimeClass& WatchViewClass();      // "CIPOWatch", defined with the watch view
const fw::RuntimeClass& OrderBookViewClass();  // "CIPOOrderBook", defined with the order book
const fw::RuntimeClass& GenericFrameClass();   // "CIPOGenericFrame", defined with the frame

// The form layouts the two views are built on (ids 10512 and 10513).
const fw::DialogTemplate& WatchFormLayout();      // "IPO WATCH", defined with the watch view
const fw::DialogTemplate& OrderBookFormLayout();  // "Order Book", defined with the order book

// Adds the layouts of the plug-in's forms to the framework's resource table.
void RegisterPluginResources();
