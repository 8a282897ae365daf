#version 420
// The radiation trefoil: a disc in the background colour "Bg" with the
// three-bladed symbol in "Fg" on it, centred at "Pos" (the middle of the
// target is (0, 0), the target's height runs from -1 to 1) with the disc's
// radius "Radius". Outside the disc nothing is drawn (alpha 0).
uniform vec4 Fg;
uniform vec4 Bg;
uniform vec2 Pos;
uniform float Radius;
in vec2 uv;
out vec4 FragColor;

void main()
{
    // Square pixels: the derivatives of uv give the target's width over height.
    float aspect = abs(dFdy(uv.y)) / max(abs(dFdx(uv.x)), 1e-6);
    vec2 q = vec2((uv.x * 2.0 - 1.0) * aspect, uv.y * 2.0 - 1.0) - Pos;
    if (Radius <= 0.0) {
        FragColor = vec4(0.0);
        return;
    }
    // In units of the disc's radius; the blades reach 5/6 of it.
    float r = length(q) / Radius;
    float px = fwidth(r) + 1e-5;  // one pixel, for soft edges
    float unit = 1.0 / 6.0;
    float disc = 1.0 - smoothstep(1.0 - px, 1.0, r);
    float hub = 1.0 - smoothstep(unit - px, unit, r);
    // Blades 60 degrees wide, centred at 30, 150 and 270 degrees.
    float a = degrees(atan(q.y, q.x));
    float sector = abs(mod(a + 30.0, 120.0) - 60.0);  // 0 at a blade's middle
    float wedge = 1.0 - smoothstep(30.0 - px * 60.0 / max(r, 1e-3), 30.0, sector);
    float ring = smoothstep(1.5 * unit - px, 1.5 * unit, r) * (1.0 - smoothstep(5.0 * unit - px, 5.0 * unit, r));
    float symbol = max(hub, wedge * ring);

    // The symbol over the disc, alpha included.
    float fa = symbol * Fg.a;
    float ba = disc * Bg.a;
    float alpha = fa + ba * (1.0 - fa);
    vec3 colour = (Fg.rgb * fa + Bg.rgb * ba * (1.0 - fa)) / max(alpha, 1e-5);
    FragColor = vec4(colour, alpha);
}
