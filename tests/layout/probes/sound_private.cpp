#include <DSoundImpl.h>
