// The sync-tracker client's connection: TCP to the editor, greeting
// "hello, synctracker!" answered by "hello, demo!", then one-byte commands
// with big-endian 32-bit fields:
//   0 PutKey        editor -> client  u32 track, u32 row, u32 float bits, u8 type
//   1 RemoveKey     editor -> client  u32 track, u32 row
//   2 RequestTrack  client -> editor  u32 name length, name bytes
//   3 Row           both ways         u32 row
//   4 Pause         editor -> client  u8 flag (non-zero pauses)
//   5 SaveAll       editor -> client  -
// A track's number is its index in the device's track list, which is the
// order of the requests on the connection.
#pragma once

#include <string>

// A connected socket that has passed the greeting, or -1.
int sync_server_connect(const std::string& host, int port);

