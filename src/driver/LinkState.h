#pragma once

// What the driver link has outstanding; -1 until the configuration is opened.
enum LinkState {
  LINK_NOT_OPENED = -1,
  LINK_UNCONNECTED = 0,
  LINK_IDLE = 1,
  LINK_CONNECTING = 2,
  LINK_RETRIEVING = 3,
  LINK_SEARCHING = 4
};
