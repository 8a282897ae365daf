#version 420 compatibility
// A ray-marched field of turning boxes over a floor. The camera sits at
// View's translation (from a corridor between the boxes) looking down -z,
// turned by ViewRotation. The boxes
// repeat every 3 units and turn with RotationTime (RotationMix blends the
// turn of neighbouring cells from together to alternating); Cutouts carves
// spheres out of them, Slashes cuts thin slits through them; the floor lies
// PlaneDistance below the camera's start. Color picks the hue, AoFactor
// darkens creases; SkyboxMix brightens the sky behind (0: dark). Alpha is 1
// where a surface is hit and fades with distance, so the quad blends over
// what is below.
uniform float RotationTime;
uniform mat4 View;
uniform mat4 ViewRotation;
uniform float SkyboxMix;
uniform float Color;
uniform float AoFactor;
uniform float Cutouts;
uniform float Slashes;
uniform float PlaneDistance;
uniform float RotationMix;

in vec2 uv;

mat2 turn(float a) { return mat2(cos(a), sin(a), -sin(a), cos(a)); }

float field(vec3 p)
{
    vec3 cell = floor(p / 3.0 + 0.5);
    vec3 q = p - cell * 3.0;
    float parity = mod(cell.x + cell.y + cell.z, 2.0) * 2.0 - 1.0;
    float angle = RotationTime * mix(1.0, parity, RotationMix);
    q.xz = turn(angle) * q.xz;
    q.xy = turn(angle * 0.7) * q.xy;
    vec3 d = abs(q) - vec3(0.6);
    float box = length(max(d, 0.0)) + min(max(d.x, max(d.y, d.z)), 0.0);
    box = max(box, -(length(q) - 0.8 * Cutouts));
    box = max(box, -(abs(fract(q.y * 4.0) - 0.5) * 0.25 - 0.05 * Slashes));
    float floor_plane = p.y + PlaneDistance;
    return min(box, floor_plane);
}

vec3 normal_at(vec3 p)
{
    vec2 e = vec2(0.002, 0.0);
    return normalize(vec3(field(p + e.xyy) - field(p - e.xyy), field(p + e.yxy) - field(p - e.yxy),
                          field(p + e.yyx) - field(p - e.yyx)));
}

void main()
{
    float aspect = abs(dFdy(uv.y) / max(abs(dFdx(uv.x)), 1e-6));
    // From the middle of a corridor between two columns of boxes.
    vec3 ro = (View * vec4(0.0, 0.0, 0.0, 1.0)).xyz + vec3(1.5, 0.4, 0.0);
    vec3 rd = normalize((ViewRotation * vec4((uv.x - 0.5) * 2.0 * aspect, (uv.y - 0.5) * 2.0, -1.6, 0.0)).xyz);

    float t = 0.0;
    float hit = 0.0;
    for (int i = 0; i < 48; ++i) {
        float d = field(ro + rd * t);
        if (d < 0.002) { hit = 1.0; break; }
        t += d;
        if (t > 30.0) break;
    }
    vec3 hue = 0.5 + 0.5 * cos(6.2831 * (Color + vec3(0.0, 0.33, 0.67)));
    vec3 sky = mix(vec3(0.02, 0.02, 0.04), vec3(0.5, 0.6, 0.8), SkyboxMix) * (0.6 + 0.4 * rd.y);
    if (hit < 0.5) {
        gl_FragColor = vec4(sky * gl_Color.rgb, SkyboxMix * gl_Color.a);
        return;
    }
    vec3 p = ro + rd * t;
    vec3 n = normal_at(p);
    float light = max(dot(n, normalize(vec3(0.4, 0.8, 0.5))), 0.0);
    float ao = clamp(1.0 - AoFactor * (0.08 - field(p + n * 0.08)) * 8.0, 0.0, 1.0);
    vec3 colour = hue * (0.15 + 0.85 * light) * ao;
    float fade = exp(-t * 0.06);
    gl_FragColor = vec4(mix(sky, colour, fade) * gl_Color.rgb, gl_Color.a);
}
