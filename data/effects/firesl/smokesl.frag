#version 420 compatibility
// Smoke: grey, rising like the fire but spreading wider, fading slowly.
// Puffs start where the spark picture is bright along the bottom; the
// picture on unit 1 adds smoke by image_factor and shows through by
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
    vec2 below = uv - vec2(sin(uv.y * 9.0 + time) * 2.0 * px.x, px.y);
    float smoke = (texture(texPrevious, below - vec2(2.0 * px.x, 0.0)).r + texture(texPrevious, below + vec2(2.0 * px.x, 0.0)).r
                   + texture(texPrevious, below).r * 2.0) * 0.25;
    smoke = max(smoke * 0.993 - 0.004, 0.0);

    float bottom = 1.0 - step(4.0 * px.y, uv.y);
    float spark = texture(texSpark, vec2(uv.x * 0.5 + time * 0.11, fract(time * 0.29))).r;
    smoke = max(smoke, 0.7 * bottom * (spark_pct > 0.0 ? step(1.0 - spark_pct, spark) : 0.0));

    vec3 image = texture(texImage, uv).rgb;
    smoke = max(smoke, dot(image, vec3(0.3, 0.59, 0.11)) * image_factor);
    gl_FragColor = vec4(clamp(mix(vec3(smoke), image, image_shinethrough), 0.0, 1.0), 1.0);
}
