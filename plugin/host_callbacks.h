// The two functions the host hands the plug-in: the message callback and the size callback.
#pragma once

#include "plugin/host_abi.h"

void SetHostCallback(HostCallbackFn callback);
void SetSizeCallback(SizeCallbackFn callback);
bool HasHostCallback();

// Sends a record to the host; the host answers inside the call. False (nothing sent) when no
// callback is set.
bool SendHostMessage(void* record);

// Tells the host the wanted size of a freshly opened frame (then 0, 0, 1).
void ReportFrameSize(void* frameWindow, int width, int height);
