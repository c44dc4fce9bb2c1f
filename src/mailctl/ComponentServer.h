#pragma once

// The library's side of the component model: the registration entry points, the class
// factory and the count of live instances that tells a host whether it may unload us.
namespace ComponentServer {
void instanceCreated();
void instanceDestroyed();
int liveInstances();
} // namespace ComponentServer
