#version 420 compatibility
// The fire in grey: heat rises and cools like the fire, stored as one grey
// level. Sparks along the bottom from the spark picture; the picture on
// unit 1 feeds heat by image_factor and shows through by image_shinethrough.
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
    float heat = (texture(texPrevious, below - vec2(px.x, 0.0)).r + texture(texPrevious, below + vec2(px.x, 0.0)).r
                  + texture(texPrevious, below).r * 2.0) * 0.25;
    float flicker = texture(texSpark, uv * vec2(1.7, 0.6) - vec2(time * 0.05, time * 0.9)).r;
    heat = max(heat * mix(0.92, 0.99, flicker) - 0.008, 0.0);

    float bottom = 1.0 - step(3.0 * px.y, uv.y);
    float spark = texture(texSpark, vec2(uv.x + time * 0.37, fract(time * 0.71))).r;
    heat = max(heat, bottom * (spark_pct > 0.0 ? step(1.0 - spark_pct, spark) : 0.0));

    vec3 image = texture(texImage, uv).rgb;
    heat = max(heat, dot(image, vec3(0.3, 0.59, 0.11)) * image_factor);
    gl_FragColor = vec4(clamp(mix(vec3(heat), image, image_shinethrough), 0.0, 1.0), 1.0);
}
