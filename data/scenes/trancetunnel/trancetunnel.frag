#version 120
// A tunnel of coloured rings rushing towards the viewer, two rings a beat.
// Each beat kicks the rings bright; the louder the music ("fft", the audio
// level x 100), the wider and brighter they are. Without sound the tunnel
// still runs on the beat.
uniform float time;  // music position in beats
uniform float fft;   // loudness, 0 without a soundtrack
varying vec2 p;      // -1..1 over the target

void main()
{
    // Square pixels whatever the target's shape: the derivatives of p give
    // the target's width over its height.
    float aspect = abs(dFdy(p.y)) / max(abs(dFdx(p.x)), 1e-6);
    vec2 q = vec2(p.x * aspect, p.y);
    // The far end wanders slowly around the middle.
    q -= 0.2 * vec2(sin(time * 0.19), cos(time * 0.13));
    float r = max(length(q), 1e-3);
    float a = atan(q.y, q.x);

    float z = 1.2 / r + time * 2.0;           // depth down the tunnel, rings at whole z
    float kick = exp(-5.0 * fract(time));     // a flash at every beat
    float loud = max(fft, 0.0) / (1.0 + max(fft, 0.0));

    float width = 0.06 + 0.22 * loud + 0.08 * kick;
    float ring = 1.0 - smoothstep(0.0, width, abs(fract(z) - 0.5));
    float spokes = 0.5 + 0.5 * sin(a * 6.0 + z * 0.8 - time * 1.5);

    vec3 hue = 0.55 + 0.45 * cos(6.2832 * (z * 0.07 + time * 0.03 + vec3(0.0, 0.33, 0.67)));
    float fog = smoothstep(0.03, 0.45, r);    // the far end fades into the dark
    vec3 colour = hue * (ring * (0.55 + 0.45 * spokes) * (0.7 + 0.6 * kick + 0.6 * loud) + 0.3 * spokes * spokes);
    colour *= fog;
    // A faint glow where the tunnel ends.
    colour += vec3(0.5, 0.3, 0.9) * 0.04 / (r + 0.05);
    gl_FragColor = vec4(colour, 1.0);
}
