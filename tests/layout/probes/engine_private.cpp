#include <render/detail/TextureFormat.h>
