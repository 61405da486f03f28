#include "platform/WatcherBackend.h"
