#include "plugin/host_callbacks.h"

namespace {
HostCallbackFn g_hostCallback = nullptr;
SizeCallbackFn g_sizeCallback = nullptr;
}  // namespace

void SetHostCallback(HostCallbackFn callback) {
    g_hostCallback = callback;
}
void SetSizeCallback(SizeCallbackFn callback) {
    g_sizeCallback = callback;
}
bool HasHostCallback() {
    return g_hostCallback != nullptr;
}

bool SendHostMessage(void* record) {
    if (!g_hostCallback) {
        return false;
    }
    g_hostCallback(record);
    return true;
}

void ReportFrameSize(void* frameWindow, int width, int height) {
    if (g_sizeCallback) {
        g_sizeCallback(frameWindow, WindowSize{width, height}, 0, 0, 1);
    }
}
