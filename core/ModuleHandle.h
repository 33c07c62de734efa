// The handle of the loaded library, recorded when a host enters it; used to
// find the library's own file and version.
#pragma once

void setModuleHandle(void* handle);
void* moduleHandle();
