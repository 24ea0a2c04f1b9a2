// Terrain: four detail textures blended by the alpha map's channels
// (blue: grass, green: mud, red: concrete, alpha: bricks), lit by one
// fixed sun. The engine's vertex normals point below the surface (its
// triangle winding gives (0, -1, 0) on flat ground), so the surface normal
// is their opposite.
//
// Parameters the engine sets:
//   World          the chunk's world matrix
//   WorldViewProj  World x View x Projection
//   alphatex1      the layer weights, spanning the terrain (texture set 1)
//   tex01..tex04   grass, mud, concrete, bricks (tiled by texture set 0)
shared {
    uniform mat4 World;
    uniform mat4 WorldViewProj;
    uniform sampler2D alphatex1;
    uniform sampler2D tex01;
    uniform sampler2D tex02;
    uniform sampler2D tex03;
    uniform sampler2D tex04;
}

technique Terrain {
    pass P0 {
        vertex {
            in vec4 POSITION;
            in vec3 NORMAL;
            in vec2 TEXCOORD0;
            in vec2 TEXCOORD1;
            out vec2 detailCoord;
            out vec2 layerCoord;
            out float light;
            void main() {
                vec3 normal = normalize(mat3(World) * -NORMAL);
                vec3 sun = normalize(vec3(0.3, 1.0, 0.2));
                light = 0.35 + 0.65 * max(dot(normal, sun), 0.0);
                detailCoord = TEXCOORD0;
                layerCoord = TEXCOORD1;
                gl_Position = WorldViewProj * vec4(POSITION.xyz, 1.0);
            }
        }
        fragment {
            in vec2 detailCoord;
            in vec2 layerCoord;
            in float light;
            out vec4 colour;
            void main() {
                vec4 w = texture(alphatex1, layerCoord);
                vec3 c = texture(tex01, detailCoord).rgb * w.b + texture(tex02, detailCoord).rgb * w.g +
                         texture(tex03, detailCoord).rgb * w.r + texture(tex04, detailCoord).rgb * w.a;
                colour = vec4(c * light, 1.0);
            }
        }
    }
}
