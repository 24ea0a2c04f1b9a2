#include <d3dx/ImageCodec.h>
