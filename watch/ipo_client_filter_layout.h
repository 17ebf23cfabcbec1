// Control ids of the "Client Filter" dialog.
#pragma once

#include "framework/resource.h"

constexpr int kFilterClientIdBox = 1302;
constexpr int kFilterClientName = 1304;

// The longest client id the host's records can carry.
constexpr int kClientIdMaxLength = 29;

const fw::DialogTemplate& ClientFilterLayout();
