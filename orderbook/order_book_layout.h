// Control ids, the "Order Book" form and the "OrderBook" context menu of the order book view.
#pragma once

#include "framework/menu.h"
#include "framework/resource.h"
#include "plugin/control_ids.h"

constexpr int kOrderBookFromDate = 1159;
constexpr int kOrderBookToDate = 1160;
constexpr int kOrderBookStatus = 1014;

// Commands of the context menu (and the host's copy command).
constexpr int kCommandExportCSV = 32791;
constexpr int kCommandModify = 32792;
constexpr int kCommandCancel = 32793;
constexpr int kCommandCopy = 32794;
constexpr int kCommandSizeToFit = 32797;
constexpr int kCommandSizeToHeader = 32798;
constexpr int kCommandGrid = 32801;
constexpr int kCommandChangeClient = 32802;

// A fresh copy of the "OrderBook" menu, every item enabled and unchecked.
fw::Menu OrderBookMenu();
