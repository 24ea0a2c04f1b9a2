// Water surface: the reflection image projected onto the plane, shifted by
// a scrolling du/dv distortion map.
//
// Parameters the engine sets:
//   ViewProj    world -> clip space of the main camera
//   Mprojtex    world -> projective coordinates of the reflection image
//   Water       the reflection image
//   Dudv        the distortion map (red and green: offsets around 0.5)
//   DudvOffset  scroll of the distortion map, animated by the caller
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
            void main() {
                vec4 world = vec4(POSITION.xyz, 1.0);
                reflectCoord = Mprojtex * world;
                waveCoord = TEXCOORD0;
                gl_Position = ViewProj * world;
            }
        }
        fragment {
            in vec4 reflectCoord;
            in vec2 waveCoord;
            out vec4 colour;
            void main() {
                vec2 wave = texture(Dudv, waveCoord + vec2(DudvOffset, DudvOffset * 0.5)).rg * 2.0 - 1.0;
                vec2 uv = reflectCoord.xy / reflectCoord.w + wave * 0.02;
                vec4 reflection = texture(Water, uv);
                vec4 tint = vec4(0.1, 0.25, 0.35, 1.0);
                colour = vec4(mix(reflection.rgb, tint.rgb, 0.3), 1.0);
            }
        }
    }
}
