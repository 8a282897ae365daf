#version 420
// 2D distance fields: a ring circling a turning rounded box and a triangle
// turning the other way, melted together by a smooth union that swells on
// the beat. Inside is warm, outside cool, both banded by the distance, with
// a light outline; a thin circle around the pointer ("iMouse", in pixels)
// touches the nearest shape.
uniform float iTime;
uniform vec3 iMouse;
uniform vec2 iResolution;
in vec2 uv;
out vec4 FragColor;

mat2 turn(float a)
{
    float c = cos(a), s = sin(a);
    return mat2(c, s, -s, c);
}

float rounded_box(vec2 p, vec2 half_size, float corner)
{
    vec2 d = abs(p) - half_size + corner;
    return length(max(d, 0.0)) + min(max(d.x, d.y), 0.0) - corner;
}

// Three edges at `r` from the centre (a bound outside the corners).
float triangle(vec2 p, float r)
{
    float d = dot(p, vec2(0.0, -1.0));
    d = max(d, dot(p, vec2(0.866, 0.5)));
    d = max(d, dot(p, vec2(-0.866, 0.5)));
    return d - r;
}

float blend(float a, float b, float k)
{
    float h = max(k - abs(a - b), 0.0) / k;
    return min(a, b) - h * h * k * 0.25;
}

float shapes(vec2 p)
{
    float t = iTime * 0.25;
    float k = 0.1 + 0.12 * exp(-4.0 * fract(iTime));
    float box = rounded_box(turn(t) * (p - vec2(-0.55, 0.0)), vec2(0.32, 0.22), 0.08);
    float tri = triangle(turn(-1.3 * t) * (p - vec2(0.6, 0.05)), 0.2);
    vec2 orbit = 0.75 * vec2(cos(t * 2.0), 0.7 * sin(t * 2.0));
    float ring = abs(length(p - orbit) - 0.18) - 0.05;
    return blend(blend(box, tri, k), ring, k);
}

void main()
{
    float aspect = iResolution.y > 0.5 ? iResolution.x / iResolution.y : 16.0 / 9.0;
    vec2 p = vec2((uv.x * 2.0 - 1.0) * aspect, uv.y * 2.0 - 1.0);
    float d = shapes(p);
    float px = fwidth(d) + 1e-5;

    vec3 colour = d < 0.0 ? vec3(0.95, 0.55, 0.22) : vec3(0.3, 0.55, 0.85);
    colour *= 1.0 - exp(-5.0 * abs(d));
    colour *= 0.8 + 0.2 * cos(90.0 * d);
    colour = mix(colour, vec3(0.92), 1.0 - smoothstep(0.0, 2.0 * px, abs(d)));

    vec2 mouse = iResolution.y > 0.5 ? iMouse.xy / iResolution : vec2(0.0);
    vec2 m = vec2((mouse.x * 2.0 - 1.0) * aspect, mouse.y * 2.0 - 1.0);
    float probe = abs(length(p - m) - abs(shapes(m)));
    colour = mix(colour, vec3(0.95, 0.85, 0.2), 1.0 - smoothstep(0.0, 2.0 * px, probe));
    FragColor = vec4(colour, 1.0);
}
