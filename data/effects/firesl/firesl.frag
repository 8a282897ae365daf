#version 420 compatibility
// Fire: the heat below each pixel rises into it, swaying with time, and
// cools blue first, then green, red last (white, yellow, orange, red,
// black). Sparks from the spark picture light the bottom rows; the picture
// on unit 1 feeds heat by image_factor and shows through by
// image_shinethrough.
uniform sampler2D texPrevious;
uniform sampler2D texImage;
uniform sampler2D texSpark;
uniform float time;
uniform float image_factor;
uniform float image_shinethrough;
uniform float spark_pct;

in vec2 uv;

void main()
{
    vec2 px = 1.0 / vec2(textureSize(texPrevious, 0));
    vec2 below = uv - vec2(sin(uv.y * 23.0 + time * 3.0) * px.x, px.y);
    vec3 heat = (texture(texPrevious, below - vec2(px.x, 0.0)).rgb + texture(texPrevious, below + vec2(px.x, 0.0)).rgb
                 + texture(texPrevious, below).rgb * 2.0) * 0.25;
    // Cooling flickers with the spark picture drawn upward, so the heat
    // rises in tongues rather than one sheet.
    float flicker = texture(texSpark, uv * vec2(1.7, 0.6) - vec2(time * 0.05, time * 0.9)).r;
    heat = max(heat * mix(vec3(0.95, 0.90, 0.80), vec3(0.995, 0.975, 0.93), flicker) - vec3(0.006, 0.012, 0.024), 0.0);

    float bottom = 1.0 - step(3.0 * px.y, uv.y);
    float spark = texture(texSpark, vec2(uv.x + time * 0.37, fract(time * 0.71))).r;
    heat = max(heat, vec3(bottom * (spark_pct > 0.0 ? step(1.0 - spark_pct, spark) : 0.0)));

    vec3 image = texture(texImage, uv).rgb;
    heat = max(heat, image * image_factor);
    gl_FragColor = vec4(clamp(mix(heat, image, image_shinethrough), 0.0, 1.0), 1.0);
}
