// Water surface: the reflection image projected onto the plane, shifted by a
// scrolling du/dv distortion map and blended with the water's own colour by
// a Fresnel term (looking straight down shows mostly water, looking across
// it mostly reflection).
//
// Parameters the engine sets:
//   ViewProj    world -> clip space of the main camera
//   Mprojtex    world -> projective coordinates of the reflection image
//   Water       the reflection image
//   Dudv        the distortion map (red and green: offsets around 0.5)
//   DudvOffset  scroll of the distortion map, animated by the caller
//
// The surface's vertices are in world space with the normal (0, 1, 0). The
// camera position is recovered from ViewProj: it is the point whose clip
// x, y and w are all zero.
shared {
    uniform mat4 ViewProj;
    uniform mat4 Mprojtex;
    uniform sampler2D Water;
    uniform sampler2D Dudv;
    uniform float DudvOffset;
}

technique Water {
    pass P0 {
        vertex {
            in vec4 POSITION;
            in vec2 TEXCOORD0;
            out vec4 reflectCoord;
            out vec2 waveCoord;
            out vec3 toEye;
            void main() {
                vec4 world = vec4(POSITION.xyz, 1.0);
                reflectCoord = Mprojtex * world;
                waveCoord = TEXCOORD0;
                vec4 eye = inverse(ViewProj) * vec4(0.0, 0.0, 1.0, 0.0);
                // Without a perspective camera, look straight down.
                toEye = abs(eye.w) > 1e-6 ? eye.xyz / eye.w - world.xyz : vec3(0.0, 1.0, 0.0);
                gl_Position = ViewProj * world;
            }
        }
        fragment {
            in vec4 reflectCoord;
            in vec2 waveCoord;
            in vec3 toEye;
            out vec4 colour;
            void main() {
                // Two layers of the map scrolling in different directions.
                vec2 scroll = vec2(DudvOffset, DudvOffset * 0.5);
                vec2 wave = texture(Dudv, waveCoord + scroll).rg * 2.0 - 1.0;
                wave = 0.5 * (wave + texture(Dudv, waveCoord * 0.5 - scroll.yx).rg * 2.0 - 1.0);
                vec2 uv = reflectCoord.xy / reflectCoord.w + wave * 0.02;
                vec3 reflection = texture(Water, clamp(uv, 0.002, 0.998)).rgb;

                vec3 water = vec3(0.05, 0.2, 0.3);
                float facing = clamp(dot(normalize(toEye), vec3(0.0, 1.0, 0.0)), 0.0, 1.0);
                float fresnel = 0.3 + 0.7 * pow(1.0 - facing, 3.0);
                colour = vec4(mix(water, reflection, fresnel), 1.0);
            }
        }
    }
}
